// Morse units as the encoder lays them out, for the characters the tests use:
// a dot is 1 0, a dash 1 1 1 0, each character ends with two more 0 units,
// and a space stretches the gap after a character to seven 0 units.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zarn::testing {

inline std::vector<std::uint8_t> units_of(std::string_view text) {
  constexpr std::string_view kCodes =
      " A.- B-... C-.-. E. I.. K-.- P.--. Q--.- R.-. S... 0----- 1.---- ";
  std::vector<std::uint8_t> units;
  for (const char c : text) {
    for (std::size_t i = kCodes.find(std::string{' ', c}) + 2; c != ' ' && kCodes[i] != ' '; ++i) {
      units.insert(units.end(), kCodes[i] == '-' ? 3 : 1, 1);
      units.push_back(0);
    }
    units.insert(units.end(), c == ' ' ? 4 : 2, 0);
  }
  return units;
}

}  // namespace zarn::testing
