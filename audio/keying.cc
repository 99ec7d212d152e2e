#include "audio/keying.h"

#include <cstddef>

namespace zarn {
namespace {

// A standard word ("PARIS ") is 50 units; at 1 word per minute that is 60 s.
constexpr double kSecondsPerUnitAtOneWpm = 1.2;
// Of those 50 units, 31 are the characters themselves; the other 19 are the
// gaps between characters (4 x 3) and after the word (7).
constexpr double kCharacterUnitsPerWord = 31;
constexpr double kGapUnitsPerWord = 19;
constexpr std::size_t kCharacterGapUnits = 3;
constexpr std::size_t kWordGapUnits = 7;

// Every instant is computed afresh from counts, never accumulated, so a long
// message gathers no rounding; unstretched gaps count as plain units, which
// makes equal speeds give exactly the unstretched timeline.
class Timeline {
 public:
  Timeline(double character_wpm, double overall_wpm, double lead_seconds)
      : unit_(kSecondsPerUnitAtOneWpm / character_wpm),
        lead_(lead_seconds),
        stretched_(overall_wpm < character_wpm) {
    // (60 c - 37.2 s) / (c s), written so that no product of the speeds
    // can overflow, however fast the characters are.
    const double gap_seconds_per_word =
        60 / overall_wpm - kSecondsPerUnitAtOneWpm * kCharacterUnitsPerWord / character_wpm;
    character_gap_ = kCharacterGapUnits * gap_seconds_per_word / kGapUnitsPerWord;
    word_gap_ = kWordGapUnits * gap_seconds_per_word / kGapUnitsPerWord;
  }

  double now() const {
    return lead_ + static_cast<double>(plain_units_) * unit_ +
           static_cast<double>(character_gaps_) * character_gap_ +
           static_cast<double>(word_gaps_) * word_gap_;
  }

  void key_down(std::size_t units) { plain_units_ += units; }

  void key_up(std::size_t units) {
    if (stretched_ && units == kCharacterGapUnits) {
      ++character_gaps_;
    } else if (stretched_ && units == kWordGapUnits) {
      ++word_gaps_;
    } else {
      plain_units_ += units;
    }
  }

 private:
  double unit_;
  double lead_;
  bool stretched_;
  double character_gap_;
  double word_gap_;
  std::size_t plain_units_ = 0;
  std::size_t character_gaps_ = 0;
  std::size_t word_gaps_ = 0;
};

// The length of the run of equal key states starting at units[begin].
std::size_t run_length(std::span<const std::uint8_t> units, std::size_t begin) {
  const bool down = units[begin] != 0;
  std::size_t end = begin + 1;
  while (end < units.size() && (units[end] != 0) == down) ++end;
  return end - begin;
}

}  // namespace

Keying keying_from_units(std::span<const std::uint8_t> units, double character_wpm,
                         double overall_wpm, double lead_seconds) {
  Timeline timeline(character_wpm, overall_wpm, lead_seconds);
  Keying keying;
  for (std::size_t begin = 0; begin < units.size();) {
    const std::size_t length = run_length(units, begin);
    if (units[begin] != 0) {
      const double start = timeline.now();
      timeline.key_down(length);
      keying.tones.push_back({start, timeline.now()});
    } else {
      timeline.key_up(length);
    }
    begin += length;
  }
  keying.end = timeline.now();
  return keying;
}

}  // namespace zarn
