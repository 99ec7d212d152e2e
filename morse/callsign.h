// The callsign encoder: the command line's callsign field becomes key-down /
// key-up time units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "morse/inline_change.h"

namespace zarn {

// Characters of the callsign that count; the command line's callsign field
// has this width.
inline constexpr std::size_t kCallsignWidth = 10;

// One byte per Morse time unit (the length of one dot): 1 key down, 0 key up.
struct MorseUnits {
  std::vector<std::uint8_t> units;
  // A message's changes, in order; none in a callsign or a message without '|'.
  std::vector<InlineChange> changes;
};

// A character the Morse table has no pattern for.
struct UnknownSymbol {
  unsigned char code;
  int position;  // 1-based position in the callsign field
};

// Encodes the first kCallsignWidth characters of the blank-padded callsign
// field: each character's pattern, then two key-up units, so every character
// ends in the three-unit letter gap. A blank ends the callsign; lower case
// folds to upper case. Refuses a character that has no pattern.
Result<MorseUnits, UnknownSymbol> encode_callsign(std::string_view callsign_field);

}  // namespace zarn
