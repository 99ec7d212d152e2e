// The classic sound's key, past the reach of its single-precision
// accumulators: sample k (counted from 1) lies at k / rate seconds, in Morse
// unit floor(k / rate / unit_seconds) (counted from 0), evaluated in double
// from the single-precision unit. A unit past the last reads key up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "keying/key_schedule.h"

namespace zarn {

class UnitGrid final : public KeySchedule {
 public:
  // unit_seconds > 0 and rate > 0; otherwise nothing is keyed, rather than a
  // search for unit boundaries that never ends.
  UnitGrid(double unit_seconds, double rate, std::span<const std::uint8_t> units);
  std::optional<ToneSpan> next_tone() override;

 private:
  std::int64_t unit_begin(std::size_t unit) const;

  double unit_seconds_;
  double rate_;
  std::span<const std::uint8_t> units_;
  std::size_t next_unit_ = 0;
};

}  // namespace zarn
