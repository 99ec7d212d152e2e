// Morse encoding: a callsign becomes key-down / key-up time units.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace zarn {

// One byte per Morse time unit (the length of one dot): 1 key down, 0 key up.
// 264 units hold twelve characters of the longest pattern plus their gaps.
struct Elements {
  static constexpr int kCapacity = 264;
  std::array<std::uint8_t, kCapacity> units{};
  int count = 0;

  std::span<const std::uint8_t> used() const {
    return {units.data(), static_cast<std::size_t>(count)};
  }
};

// A callsign character the Morse table has no pattern for.
struct UnknownSymbol {
  unsigned char code;
  int position;  // 1-based position in the callsign field
};

// Encodes the blank-padded callsign field into `out`: each character's
// pattern, then two key-up units, so every character ends in the three-unit
// letter gap. A blank ends the callsign; lower case folds to upper case.
// Refuses a character that has no pattern, leaving `out` unspecified.
std::optional<UnknownSymbol> morse(std::string_view callsign_field, Elements& out);

}  // namespace zarn
