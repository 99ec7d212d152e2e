// The key of a sound made with sound options: Morse units laid out in
// seconds, with Farnsworth spacing, longer word gaps, silence before the
// first tone and ramps on every edge, then found on the sample grid.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "keying/key_schedule.h"

namespace zarn {

struct TimelineTiming {
  double character_wpm;  // a unit lasts 1.2 / character_wpm seconds
  double overall_wpm;    // at most character_wpm
  double word_gap_units = 7;
  double lead_seconds = 0;  // before the first tone
};

// `units` holds one byte per Morse unit, non-zero for key down: a run of 3
// zeros is a character gap, of 7 a word gap; any other run keeps its length
// in units. With overall_wpm below character_wpm the character and word
// gaps stretch so that the text goes at overall_wpm: the 19 gap units of a
// standard 50-unit word share ta = (60 c - 37.2 s) / (c s) seconds,
// 3 ta / 19 per character gap and word_gap_units ta / 19 per word gap.
// Sample k lies at k / rate seconds (k from 0); a tone's edges are the first
// samples at or after its instants, and its ramps last ramp_seconds.
class Timeline final : public KeySchedule {
 public:
  Timeline(std::span<const std::uint8_t> units, const TimelineTiming& timing, double rate,
           double ramp_seconds);
  std::optional<ToneSpan> next_tone() override;
  // Seconds from the start to the end of the last unit, lead included.
  static double length_seconds(std::span<const std::uint8_t> units, const TimelineTiming& timing);

 private:
  double now() const;
  void key_up(std::size_t units);
  std::int64_t first_sample_at(double seconds) const;

  std::span<const std::uint8_t> units_;
  std::size_t next_unit_ = 0;
  double rate_;
  double ramp_seconds_;
  double lead_;
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
