// The length of a Morse unit: a standard word ("PARIS ") is 50 units, so at
// 1 word per minute a unit lasts 60 / 50 = 1.2 seconds.
#pragma once

#include <bit>
#include <cstdint>

namespace zarn {

inline constexpr double kSecondsPerUnitAt1Wpm = 1.2;

// The classic sound has always computed 1.2 / wpm from this single-precision
// rounding of it; pinned to its bit pattern so that no rewrite can shift a
// sample.
inline constexpr float kClassicSecondsPerUnitAt1Wpm = static_cast<float>(kSecondsPerUnitAt1Wpm);
static_assert(std::bit_cast<std::uint32_t>(kClassicSecondsPerUnitAt1Wpm) == 0x3F99999A);

}  // namespace zarn
