// When the key is down: the Morse units of a message laid out in seconds.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zarn {

// One tone, from the instant the key goes down to the instant it comes up.
struct KeyDown {
  double start;  // seconds
  double end;
};

struct Keying {
  std::vector<KeyDown> tones;
  double end;  // seconds: the lead plus the whole timeline, final gap included
};

// `units` holds one byte per Morse time unit, non-zero for key down: a dot is
// 1 0, a dash 1 1 1 0, every character ends with two more 0 units (3 in a row
// between characters) and a word gap is 7 zeros in a row. A unit lasts
// 1.2 / character_wpm seconds. With overall_wpm below character_wpm the
// character and word gaps are stretched (Farnsworth timing) so that the text
// goes at overall_wpm: the 19 gap units of a standard 50-unit word share
// ta = (60 c - 37.2 s) / (c s) seconds, 3 ta / 19 per character gap and
// 7 ta / 19 per word gap. Any other run of zeros keeps its length in units.
// The first tone starts at lead_seconds.
Keying keying_from_units(std::span<const std::uint8_t> units, double character_wpm,
                         double overall_wpm, double lead_seconds);

}  // namespace zarn
