// The shape every script's table shares: a letter and its unit pattern, as
// in the callsign table.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace zarn {

struct ScriptLetter {
  char32_t code;             // the upper-case letter where the script has cases
  std::string_view pattern;  // '1' key down, '0' key up, ending with the one-unit gap
};

// The pattern of `code` in `table`, which is sorted by code.
std::optional<std::string_view> find_letter(std::span<const ScriptLetter> table, char32_t code);

// For the tables' static_asserts: a binary search needs them in order.
constexpr bool sorted_by_code(std::span<const ScriptLetter> table) {
  for (std::size_t i = 1; i < table.size(); ++i) {
    if (table[i - 1].code >= table[i].code) return false;
  }
  return true;
}

}  // namespace zarn
