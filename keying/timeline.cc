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
                   double ramp_seconds, std::span<const InlineChange> changes)
    : units_(rate > 0 ? units : std::span<const std::uint8_t>{}),
      changes_(changes),
      rate_(rate),
      ramp_seconds_(ramp_seconds),
      origin_(timing.lead_seconds),
      character_wpm_(timing.character_wpm),
      overall_wpm_(timing.overall_wpm),
      word_gap_units_(timing.word_gap_units),
      character_follows_(timing.character_follows) {
  set_speeds(timing.character_wpm, timing.overall_wpm);
}

void Timeline::set_speeds(double character_wpm, double overall_wpm) {
  unit_ = kSecondsPerUnitAt1Wpm / character_wpm;
  stretched_ = overall_wpm < character_wpm;
  // Standard gaps count as plain units, so that equal speeds give
  // exactly the unstretched timeline.
  plain_word_gap_ = !stretched_ && word_gap_units_ == double(kWordGapUnits);
  // (60 c - 37.2 s) / (c s), written so that no product of the speeds can
  // overflow, however fast the characters are.
  const double gap_seconds_per_word =
      60 / overall_wpm - kSecondsPerUnitAt1Wpm * kCharacterUnitsPerWord / character_wpm;
  character_gap_ = kCharacterGapUnits * gap_seconds_per_word / kGapUnitsPerWord;
  word_gap_ = stretched_ ? word_gap_units_ * gap_seconds_per_word / kGapUnitsPerWord
                         : word_gap_units_ * unit_;
}

// The changes written before the unit about to be read. A change of speed
// begins a new stretch whose instants count from the present one.
void Timeline::take_changes() {
  bool speeds = false;
  for (; next_change_ < changes_.size() && changes_[next_change_].unit <= next_unit_;
       ++next_change_) {
    const InlineChange& change = changes_[next_change_];
    switch (change.kind) {
      case InlineChange::Kind::speed:
        overall_wpm_ = change.value;
        if (character_follows_) character_wpm_ = change.value;
        speeds = true;
        break;
      case InlineChange::Kind::character_speed:
        character_wpm_ = change.value;
        character_follows_ = false;
        speeds = true;
        break;
      case InlineChange::Kind::tone:
        tone_hz_ = change.value;
        break;
      case InlineChange::Kind::volume:
        gain_ = std::pow(10.0, change.value / 20);
        break;
    }
  }
  if (!speeds) return;
  origin_ = now();
  plain_units_ = character_gaps_ = word_gaps_ = 0;
  set_speeds(character_wpm_, overall_wpm_);
}

double Timeline::now() const {
  return origin_ + static_cast<double>(plain_units_) * unit_ +
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
    // Most messages have no changes: no call for them, run after run.
    if (next_change_ < changes_.size()) take_changes();
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
    ToneSpan span{rise, rise, fall, fall, start, end};
    if (ramp_seconds_ > 0) {
      span.steady = first_sample_at(start + ramp_seconds_);
      span.silence = first_sample_at(end + ramp_seconds_);
    }
    span.tone_hz = tone_hz_;
    span.gain = gain_;
    return span;
  }
  return std::nullopt;
}

double Timeline::length_seconds(std::span<const std::uint8_t> units, const TimelineTiming& timing,
                                std::span<const InlineChange> changes) {
  Timeline walk(units, timing, 1, 0, changes);
  while (walk.next_tone()) {
  }
  return walk.now();
}

}  // namespace zarn
