#include "keying/unit_grid.h"

#include <cmath>

namespace zarn {

UnitGrid::UnitGrid(double unit_seconds, double rate, std::span<const std::uint8_t> units)
    : unit_seconds_(unit_seconds),
      rate_(rate),
      units_(unit_seconds > 0 && rate > 0 ? units : std::span<const std::uint8_t>{}) {}

// The first sample k >= 1 in unit `unit` or later. The product estimates it
// to within a sample or two; the exact test, k / rate / unit_seconds as the
// definition rounds it, then settles it.
std::int64_t UnitGrid::unit_begin(std::size_t unit) const {
  constexpr double kLimit = 0x1p62;  // far past any sound; converts exactly
  const auto target = static_cast<double>(unit);
  const auto position = [&](std::int64_t k) {
    return static_cast<double>(k) / rate_ / unit_seconds_;
  };
  const double estimate = std::ceil(target * unit_seconds_ * rate_);
  if (!(estimate < kLimit)) return kNeverSample;
  std::int64_t k = estimate > 1 ? static_cast<std::int64_t>(estimate) : 1;
  while (k > 1 && position(k - 1) >= target) --k;
  while (position(k) < target) ++k;
  return k;
}

std::optional<ToneSpan> UnitGrid::next_tone() {
  std::size_t down = next_unit_;
  while (down < units_.size() && units_[down] == 0) ++down;
  if (down == units_.size()) return std::nullopt;
  std::size_t up = down + 1;
  while (up < units_.size() && units_[up] != 0) ++up;
  next_unit_ = up;
  const std::int64_t rise = unit_begin(down);
  const std::int64_t fall = unit_begin(up);
  return ToneSpan{rise, rise, fall, fall};
}

}  // namespace zarn
