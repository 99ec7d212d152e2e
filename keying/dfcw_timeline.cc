#include "keying/dfcw_timeline.h"

#include <cmath>

namespace zarn {
namespace {

constexpr std::size_t kCharacterGapUnits = 3;

std::size_t run_length(std::span<const std::uint8_t> units, std::size_t begin) {
  const bool down = units[begin] != 0;
  std::size_t end = begin + 1;
  while (end < units.size() && (units[end] != 0) == down) ++end;
  return end - begin;
}

// The dots a key-up run of the units' own length stands for.
std::size_t gap_dots(std::size_t units) {
  if (units == kCharacterGapUnits) return 1;
  return units > kCharacterGapUnits ? 2 : 0;
}

}  // namespace

DfcwTimeline::DfcwTimeline(std::span<const std::uint8_t> units, const DfcwTiming& timing,
                           double rate, double ramp_seconds)
    : units_(rate > 0 ? units : std::span<const std::uint8_t>{}),
      timing_(timing),
      rate_(rate),
      ramp_seconds_(ramp_seconds) {}

double DfcwTimeline::now() const {
  return timing_.lead_seconds + static_cast<double>(dots_) * timing_.dot_seconds +
         static_cast<double>(element_gaps_) * timing_.element_gap_dots * timing_.dot_seconds;
}

std::int64_t DfcwTimeline::first_sample_at(double seconds) const {
  return first_sample(std::ceil(seconds * rate_), 0,
                      [&](std::int64_t k) { return static_cast<double>(k) / rate_ >= seconds; });
}

std::optional<ToneSpan> DfcwTimeline::next_tone() {
  while (next_unit_ < units_.size()) {
    const std::size_t length = run_length(units_, next_unit_);
    const bool down = units_[next_unit_] != 0;
    next_unit_ += length;
    if (!down) {
      const std::size_t dots = gap_dots(length);
      dots_ += dots;
      if (dots == 0) ++element_gaps_;
      continue;
    }
    const double start = now();
    ++dots_;
    const double end = now();
    const std::int64_t rise = first_sample_at(start);
    const std::int64_t fall = first_sample_at(end);
    const auto voice = static_cast<std::uint8_t>(length > 1 ? 1 : 0);
    const std::int64_t steady = ramp_seconds_ == 0 ? rise : first_sample_at(start + ramp_seconds_);
    const std::int64_t silence = ramp_seconds_ == 0 ? fall : first_sample_at(end + ramp_seconds_);
    return ToneSpan{rise, steady, fall, silence, start, end, voice};
  }
  return std::nullopt;
}

double DfcwTimeline::length_seconds(std::span<const std::uint8_t> units, const DfcwTiming& timing) {
  DfcwTimeline walk(units, timing, 1, 0);
  while (walk.next_tone()) {
  }
  return walk.now();
}

}  // namespace zarn
