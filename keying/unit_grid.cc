#include "keying/unit_grid.h"

#include <cmath>

namespace zarn {

UnitGrid::UnitGrid(double unit_seconds, double rate, std::span<const std::uint8_t> units)
    : unit_seconds_(unit_seconds),
      rate_(rate),
      units_(unit_seconds > 0 && rate > 0 ? units : std::span<const std::uint8_t>{}) {}

// The first sample k >= 1 in unit `unit` or later, by k / rate / unit_seconds
// as the definition rounds it.
std::int64_t UnitGrid::unit_begin(std::size_t unit) const {
  const auto target = static_cast<double>(unit);
  return first_sample(std::ceil(target * unit_seconds_ * rate_), 1, [&](std::int64_t k) {
    return static_cast<double>(k) / rate_ / unit_seconds_ >= target;
  });
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
