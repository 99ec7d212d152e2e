#include "morse/inline_change.h"

#include <cstdlib>
#include <string>

namespace zarn {
namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// The length of the number at the front of `text`: [+-]digits[.digits] or
// [+-].digits; 0 when there is none.
std::size_t number_length(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && is_digit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    std::size_t after = i + 1;
    while (after < text.size() && is_digit(text[after])) ++after, ++digits;
    // A point with no digit after it ends a sentence rather than the number.
    if (after > i + 1) i = after;
  }
  return digits == 0 ? 0 : i;
}

}  // namespace

bool is_change_letter(char letter) {
  return letter == 'w' || letter == 'e' || letter == 'f' || letter == 'v';
}

std::optional<ChangeText> read_change(std::string_view rest) {
  if (rest.empty() || !is_change_letter(rest[0])) return std::nullopt;
  const std::size_t length = number_length(rest.substr(1));
  if (length == 0) return std::nullopt;
  // strtod rounds correctly in every C library the tool is built with, and
  // the program never leaves the "C" locale, so the point is a point.
  const std::string number(rest.substr(1, length));
  return ChangeText{static_cast<InlineChange::Kind>(rest[0]), std::strtod(number.c_str(), nullptr),
                    length + 1};
}

}  // namespace zarn
