#include "keying/timeline.h"

#include <cmath>

#include "keying/unit_length.h"

namespace zarn {
namespace {

// Of a standard word's 50 units, 31 are the characters themselves; the other
// 19 are the gaps between characters (4 x 3) and after the word (7).
constexpr double kCharacterUnitsPerWord = 31;
constexpr double kGapUnitsPerWord = 19;
constexpr std::size_t kCharacterGapUnits = 3;
constexpr std::size_t kWordGapUnits = 7;

// The length of the run of equal key states starting at units[begin].
std::size_t run_length(std::span<const std::uint8_t> units, std::size_t begin) {
  const bool down = units[begin] != 0;
  std::size_t end = begin + 1;
  while (end < units.size() && (units[end] != 0) == down) ++end;
  return end - begin;
}

}  // namespace

Timeline::Timeline(std::span<const std::uint8_t> units, const TimelineTiming& timing, double rate,
                   double ramp_seconds)
    : units_(rate > 0 ? units : std::span<const std::uint8_t>{}),
      rate_(rate),
      ramp_seconds_(ramp_seconds),
      lead_(timing.lead_seconds),
      unit_(kSecondsPerUnitAt1Wpm / timing.character_wpm),
      stretched_(timing.overall_wpm < timing.character_wpm),
      // Standard gaps count as plain units, so that equal speeds give
      // exactly the unstretched timeline.
      plain_word_gap_(!stretched_ && timing.word_gap_units == double(kWordGapUnits)) {
  // (60 c - 37.2 s) / (c s), written so that no product of the speeds can
  // overflow, however fast the characters are.
  const double gap_seconds_per_word = 60 / timing.overall_wpm - kSecondsPerUnitAt1Wpm *
                                                                    kCharacterUnitsPerWord /
                                                                    timing.character_wpm;
  character_gap_ = kCharacterGapUnits * gap_seconds_per_word / kGapUnitsPerWord;
  word_gap_ = stretched_ ? timing.word_gap_units * gap_seconds_per_word / kGapUnitsPerWord
                         : timing.word_gap_units * unit_;
}

double Timeline::now() const {
  return lead_ + static_cast<double>(plain_units_) * unit_ +
         static_cast<double>(character_gaps_) * character_gap_ +
         static_cast<double>(word_gaps_) * word_gap_;
}

void Timeline::key_up(std::size_t units) {
  if (stretched_ && units == kCharacterGapUnits) {
    ++character_gaps_;
  } else if (!plain_word_gap_ && units == kWordGapUnits) {
    ++word_gaps_;
  } else {
    plain_units_ += units;
  }
}

// The smallest k >= 0 with k / rate >= seconds, tested exactly as a sample's
// time is defined: with hard keying one sample more or less is a full-scale
// error.
std::int64_t Timeline::first_sample_at(double seconds) const {
  return first_sample(std::ceil(seconds * rate_), 0,
                      [&](std::int64_t k) { return static_cast<double>(k) / rate_ >= seconds; });
}

std::optional<ToneSpan> Timeline::next_tone() {
  while (next_unit_ < units_.size()) {
    const std::size_t length = run_length(units_, next_unit_);
    const bool down = units_[next_unit_] != 0;
    next_unit_ += length;
    if (!down) {
      key_up(length);
      continue;
    }
    const double start = now();
    plain_units_ += length;
    const double end = now();
    const std::int64_t rise = first_sample_at(start);
    const std::int64_t fall = first_sample_at(end);
    if (ramp_seconds_ == 0) return ToneSpan{rise, rise, fall, fall, start, end};
    return ToneSpan{rise,  first_sample_at(start + ramp_seconds_),
                    fall,  first_sample_at(end + ramp_seconds_),
                    start, end};
  }
  return std::nullopt;
}

double Timeline::length_seconds(std::span<const std::uint8_t> units, const TimelineTiming& timing) {
  Timeline walk(units, timing, 1, 0);
  while (walk.next_tone()) {
  }
  return walk.now();
}

}  // namespace zarn
