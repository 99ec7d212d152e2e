#include "args/practice_values.h"

#include <charconv>

#include "core/value_rule.h"
#include "morse/message.h"

namespace zarn {
namespace {

std::optional<int> group_length(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < 1 || value > rules::kLongestGroup) return std::nullopt;
  return value;
}

// A blank or a bracket would make the message encoder read another group
// or a prosign; they are sent, but never as a character of a group.
bool has_own_code(char c) {
  if (c == ' ' || c == '<' || c == '>') return false;
  return static_cast<bool>(encode_message(std::string_view(&c, 1)));
}

char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

}  // namespace

std::optional<GroupSize> read_group_size(std::string_view text) {
  const auto dash = text.find('-');
  const auto min = group_length(text.substr(0, dash));
  const auto max = dash == std::string_view::npos ? min : group_length(text.substr(dash + 1));
  if (!min || !max || *min > *max) return std::nullopt;
  return GroupSize{*min, *max};
}

std::optional<std::uint64_t> read_seed(std::string_view text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::string> read_charset(std::string_view text) {
  std::string set;
  for (char c : text) {
    if (!has_own_code(c)) return std::nullopt;
    if (set.find(upper(c)) == std::string::npos) set += upper(c);
  }
  return set;
}

}  // namespace zarn
