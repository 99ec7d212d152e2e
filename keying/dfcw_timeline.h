// The key of dual-frequency Morse: every element one dot of tone, a dash on
// a voice of its own, a short gap between elements, a dot between
// characters and two between words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "keying/key_schedule.h"

namespace zarn {

struct DfcwTiming {
  double dot_seconds;
  double element_gap_dots = 1.0 / 3;
  double lead_seconds = 0;  // before the first element
};

// `units` as the timeline takes them: a key-down run of 1 is a dot (voice
// 0), a longer one a dash (voice 1); a key-up run of 1 is an element gap, of
// 3 a character gap and a longer one a word gap. Edges are the first
// samples at or after their instants.
class DfcwTimeline final : public KeySchedule {
 public:
  DfcwTimeline(std::span<const std::uint8_t> units, const DfcwTiming& timing, double rate,
               double ramp_seconds);
  std::optional<ToneSpan> next_tone() override;
  // Seconds from the start to the end of the last gap, lead included.
  static double length_seconds(std::span<const std::uint8_t> units, const DfcwTiming& timing);

 private:
  double now() const;
  std::int64_t first_sample_at(double seconds) const;

  std::span<const std::uint8_t> units_;
  std::size_t next_unit_ = 0;
  DfcwTiming timing_;
  double rate_;
  double ramp_seconds_;
  // Instants come afresh from these counts, so hours gather no rounding.
  std::size_t dots_ = 0;  // elements and the dots of character and word gaps
  std::size_t element_gaps_ = 0;
};

}  // namespace zarn
