// Single-precision running sums, as the tone's time and phase are kept, and
// the rounding of double-precision results to single precision.
#pragma once

#include <cstddef>
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

// A run of accumulator values: start + i * step for i = 1 .. count, each of
// them exactly a float.
struct Stretch {
  double start;
  double step;
  std::size_t count;
};

// A running single-precision sum, x <- x + d rounded to single precision,
// with d > 0. Inside one binade every such step moves x by the same multiple
// of the binade's ulp, so a whole stretch of steps is an arithmetic
// progression, handed out without a serial chain of additions; only steps
// that cross into the next binade, or meet a rounding tie, are taken one by
// one. The values are exactly those of step-by-step addition.
class FloatAccumulator {
 public:
  FloatAccumulator(float start, float step) : value_(start), step_(step) {}
  float value() const { return value_; }
  // Takes the next stretch of at most `limit` steps, each of whose values
  // stays below `bound`; an empty stretch means the next value would not.
  Stretch take(std::size_t limit, float bound = std::numeric_limits<float>::infinity());
  // Takes `steps` steps.
  void skip(std::size_t steps) { advance_below(steps, std::numeric_limits<float>::infinity()); }
  // Takes up to `limit` steps while each new value stays below `bound`;
  // returns how many it took.
  std::size_t advance_below(std::size_t limit, float bound);

 private:
  float value_;
  float step_;
};

}  // namespace zarn
