#include "render/fading.h"

#include <algorithm>
#include <cmath>

#include "render/kernel.h"

namespace zarn {
namespace {

// 2^-53: a draw's top 53 bits as a fraction in [0, 1).
constexpr double kUnitFraction = 1.0 / 9007199254740992.0;

double ease(double x) {
  return x * x * x * (x * (x * 6 - 15) + 10);
}

}  // namespace

Fading::Fading(const FadeShape& shape, std::uint64_t seed, double scale)
    : random_(seed),
      half_samples_(shape.sample_rate / shape.rate_hz / 2),
      full_(scale),
      trough_(scale * std::pow(10.0, -shape.depth_db / 20)),
      from_(full_),
      to_(trough_) {
  // The first half fade starts part of the way along, so that files do not
  // all begin at full level.
  next_half();
  from_ = full_;
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

void Fading::skip(std::int64_t samples) {
  while (samples > 0) {
    if (at_ >= length_) next_half();
    const std::int64_t count = std::min(length_ - at_, samples);
    at_ += count;
    samples -= count;
  }
}

// A half fade's run at a time, each sample's place as a product, not a
// division: the loop vectorises, for the active kernel.
void Fading::apply(std::span<double> values) {
  while (!values.empty()) {
    if (at_ >= length_) next_half();
    const auto count = static_cast<std::size_t>(
        std::min<std::int64_t>(length_ - at_, static_cast<std::int64_t>(values.size())));
    const double step = 1 / static_cast<double>(length_);
    const double first = static_cast<double>(at_), from = from_, change = to_ - from_;
    double* out = values.data();
    run_kernel([=] {
      for (std::size_t i = 0; i < count; ++i) {
        // Fewer than 2^31 at a time, so i converts through an int32.
        const double x = (first + static_cast<double>(static_cast<std::int32_t>(i))) * step;
        out[i] *= from + change * ease(x);
      }
    });
    at_ += static_cast<std::int64_t>(count);
    values = values.subspan(count);
  }
}

}  // namespace zarn
