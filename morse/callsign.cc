#include "morse/callsign.h"

#include <algorithm>

#include "morse/table.h"

namespace zarn {
namespace {

// The two key-up units after a character's own one-unit gap make the
// three-unit letter gap.
constexpr int kLetterGapExtra = 2;

}  // namespace

Result<MorseUnits, UnknownSymbol> encode_callsign(std::string_view callsign_field) {
  MorseUnits out;
  out.units.reserve(kCallsignWidth * (kLongestPattern + kLetterGapExtra));
  const std::size_t symbols = std::min(callsign_field.size(), kCallsignWidth);
  for (std::size_t i = 0; i < symbols; ++i) {
    const auto code = static_cast<unsigned char>(callsign_field[i]);
    if (code == ' ') break;
    const auto pattern = pattern_for(code);
    if (!pattern) return UnknownSymbol{code, static_cast<int>(i) + 1};
    for (char unit : *pattern) out.units.push_back(unit == '1' ? 1 : 0);
    out.units.insert(out.units.end(), kLetterGapExtra, 0);
  }
  return out;
}

}  // namespace zarn
