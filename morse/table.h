// The Morse table: International Morse Code written out in time units.
#pragma once

#include <optional>
#include <string_view>

namespace zarn {

// The longest pattern in the table, in units (the digit 0: five dashes).
inline constexpr int kLongestPattern = 20;

// The unit pattern of a callsign symbol (digits, letters in either case,
// '/'), as a string of '1' (key down) and '0' (key up): a dot is "10" and a
// dash "1110", so each pattern ends with the one-unit gap inside a character.
// Nothing for a character without a code.
std::optional<std::string_view> pattern_for(unsigned char code);

}  // namespace zarn
