// The key of a sound made with sound options: Morse units laid out in
// seconds, with Farnsworth spacing, longer word gaps, silence before the
// first tone and ramps on every edge, then found on the sample grid.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "keying/key_schedule.h"
#include "morse/inline_change.h"

namespace zarn {

struct TimelineTiming {
  double character_wpm;  // a unit lasts 1.2 / character_wpm seconds
  double overall_wpm;    // at most character_wpm
  double word_gap_units = 7;
  double lead_seconds = 0;  // before the first tone
  // Whether a change of speed inside the message takes the character speed
  // with it: so unless a character speed was set.
  bool character_follows = true;
};

// `units` holds one byte per Morse unit, non-zero for key down: a run of 3
// zeros is a character gap, of 7 a word gap; any other run keeps its length
// in units. With overall_wpm below character_wpm the character and word
// gaps stretch so that the text goes at overall_wpm: the 19 gap units of a
// standard 50-unit word share ta = (60 c - 37.2 s) / (c s) seconds,
// 3 ta / 19 per character gap and word_gap_units ta / 19 per word gap.
// Sample k lies at k / rate seconds (k from 0); a tone's edges are the first
// samples at or after its instants, and its ramps last ramp_seconds.
// A message's changes (checked by the plan) start a new stretch of timing at
// their unit, and give the tones from there on their tone and level.
class Timeline final : public KeySchedule {
 public:
  Timeline(std::span<const std::uint8_t> units, const TimelineTiming& timing, double rate,
           double ramp_seconds, std::span<const InlineChange> changes = {});
  std::optional<ToneSpan> next_tone() override;
  // Seconds from the start to the end of the last unit, lead included.
  static double length_seconds(std::span<const std::uint8_t> units, const TimelineTiming& timing,
                               std::span<const InlineChange> changes = {});

 private:
  double now() const;
  void key_up(std::size_t units);
  void set_speeds(double character_wpm, double overall_wpm);
  void take_changes();
  std::int64_t first_sample_at(double seconds) const;

  std::span<const std::uint8_t> units_;
  std::size_t next_unit_ = 0;
  std::span<const InlineChange> changes_;
  std::size_t next_change_ = 0;
  double rate_;
  double ramp_seconds_;
  double origin_;  // where the counts below start: the lead, or the last change of speed
  double character_wpm_;
  double overall_wpm_;
  double word_gap_units_;
  bool character_follows_;
  double tone_hz_ = 0;  // the changes' tone and level; 0 for the sound's own
  double gain_ = 0;
  double unit_;
  bool stretched_;
  bool plain_word_gap_;
  double character_gap_;
  double word_gap_;
  // Every instant is computed afresh from these counts, never accumulated,
  // so a long message gathers no rounding.
  std::size_t plain_units_ = 0;
  std::size_t character_gaps_ = 0;
  std::size_t word_gaps_ = 0;
};

}  // namespace zarn
