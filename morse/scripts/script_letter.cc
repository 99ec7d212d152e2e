#include "morse/scripts/script_letter.h"

#include <algorithm>

namespace zarn {

std::optional<std::string_view> find_letter(std::span<const ScriptLetter> table, char32_t code) {
  const auto found = std::lower_bound(
      table.begin(), table.end(), code,
      [](const ScriptLetter& letter, char32_t wanted) { return letter.code < wanted; });
  if (found == table.end() || found->code != code) return std::nullopt;
  return found->pattern;
}

}  // namespace zarn
