#include "render/fading.h"

#include <cmath>

namespace zarn {
namespace {

// 2^-53: a draw's top 53 bits as a fraction in [0, 1).
constexpr double kUnitFraction = 1.0 / 9007199254740992.0;

double ease(double x) {
  return x * x * x * (x * (x * 6 - 15) + 10);
}

}  // namespace

Fading::Fading(const FadeShape& shape, std::uint64_t seed)
    : random_(seed),
      half_samples_(shape.sample_rate / shape.rate_hz / 2),
      trough_(std::pow(10.0, -shape.depth_db / 20)),
      to_(trough_) {
  // The first half fade starts part of the way along, so that files do not
  // all begin at full level.
  next_half();
  from_ = 1;
  to_ = trough_;
  at_ = static_cast<std::int64_t>(static_cast<double>(random_.next() >> 11) * kUnitFraction *
                                  static_cast<double>(length_));
}

// Half fades last from a half to one and a half times their mean.
void Fading::next_half() {
  const double fraction = static_cast<double>(random_.next() >> 11) * kUnitFraction;
  const double length = std::floor(half_samples_ * (0.5 + fraction));
  length_ = length < 1 ? 1 : static_cast<std::int64_t>(length);
  at_ = 0;
  std::swap(from_, to_);
}

void Fading::apply(std::span<double> values) {
  for (double& value : values) {
    if (at_ >= length_) next_half();
    const double x = static_cast<double>(at_) / static_cast<double>(length_);
    value *= from_ + (to_ - from_) * ease(x);
    ++at_;
  }
}

}  // namespace zarn
