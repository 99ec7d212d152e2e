// Inside the audio library: storing a double-precision result as a float.
#pragma once

#include <limits>

namespace zarn {

// Rounds to single precision as the hardware does, but saturates to infinity
// explicitly: converting an out-of-range double is undefined.
inline float to_single(double x) {
  // Halfway between FLT_MAX and 2^128: from here on, rounding gives infinity.
  constexpr double kOverflow = 0x1.ffffffp127;
  if (x >= kOverflow) return std::numeric_limits<float>::infinity();
  if (x <= -kOverflow) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(x);
}

}  // namespace zarn
