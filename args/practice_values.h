// The values of the practice options that are not plain numbers: a group
// size or a range of them, a seed of 64 bits, and a character set.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zarn {

struct GroupSize {
  int min;
  int max;
};

// "5" or "3-7", each from 1 to kLongestGroup, the first not above the second.
std::optional<GroupSize> read_group_size(std::string_view text);

// Decimal digits alone: every 64-bit seed, and nothing that a double would
// round.
std::optional<std::uint64_t> read_seed(std::string_view text);

// The characters in upper case, each once, in the order first written; none
// if any has no Morse code of its own (a blank, a bracket, '#').
std::optional<std::string> read_charset(std::string_view text);

}  // namespace zarn
