#include "render/classic/float_accumulator.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace zarn {
namespace {

constexpr float kNoBound = std::numeric_limits<float>::infinity();

// Where x + i * delta (i = 1, 2, ...) is x + d rounded, for as long as the
// values stay below `top`.
struct Progression {
  double delta;
  double top;
};

// Within [2^(e-1), 2^e) floats are the multiples of one ulp, so x + d rounds
// to x + round(d / ulp) * ulp, whatever x is, unless d / ulp ends in exactly
// one half: then the parity of x breaks the tie, and steps go one by one.
std::optional<Progression> progression(float x, float d) {
  if (!(x > 0) || !std::isfinite(x)) return std::nullopt;
  int e = 0;
  std::frexp(x, &e);
  const double ulp = std::ldexp(1.0, std::max(e - 24, -149));
  const double q = d / ulp;  // exact: a power-of-two scaling
  const double whole = std::floor(q);
  if (q - whole == 0.5) return std::nullopt;
  const double steps_of_ulp = q - whole < 0.5 ? whole : whole + 1;
  return Progression{steps_of_ulp * ulp, std::ldexp(1.0, e)};
}

// How many of i = 1 .. limit keep x + i * delta below `end`; every such value
// is a float of x's binade, so the double arithmetic here is exact.
std::size_t steps_below(double x, double delta, double end, std::size_t limit) {
  if (delta == 0) return x < end ? limit : 0;
  const double estimate = std::ceil((end - x) / delta) - 1;
  std::size_t m = estimate >= double(limit) ? limit : estimate > 0 ? std::size_t(estimate) : 0;
  while (m > 0 && x + double(m) * delta >= end) --m;
  while (m < limit && x + double(m + 1) * delta < end) ++m;
  return m;
}

}  // namespace

Stretch FloatAccumulator::take(std::size_t limit, float bound) {
  const double x = value_;
  if (limit == 0) return {x, 0, 0};
  if (!std::isfinite(value_) && bound == kNoBound) return {x, 0, limit};  // stays off the range
  if (const auto p = progression(value_, step_)) {
    const std::size_t m = steps_below(x, p->delta, std::min<double>(p->top, bound), limit);
    if (m > 0) {
      value_ = float(x + double(m) * p->delta);
      return {x, p->delta, m};
    }
  }
  // Zero, a binade crossing, a rounding tie, or the bound: one plain step.
  const float next = to_single(x + step_);
  if (bound != kNoBound && !(next < bound)) return {x, 0, 0};
  value_ = next;
  return {x, double{next} - x, 1};
}

std::size_t FloatAccumulator::advance_below(std::size_t limit, float bound) {
  std::size_t taken = 0;
  while (taken < limit) {
    const std::size_t count = take(limit - taken, bound).count;
    if (count == 0) break;
    taken += count;
  }
  return taken;
}

}  // namespace zarn
