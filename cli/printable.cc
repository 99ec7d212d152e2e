#include "cli/printable.h"

#include <algorithm>

#include "morse/utf8.h"

namespace zarn {
namespace {

std::string escaped_byte(unsigned char byte) {
  constexpr std::string_view kHex = "0123456789abcdef";
  return {'\\', 'x', kHex[byte >> 4], kHex[byte & 0x0F]};
}

std::string escaped_ascii(char c) {
  if (c == '\n') return "\\n";
  if (c == '\t') return "\\t";
  if (c == '\r') return "\\r";
  const auto byte = static_cast<unsigned char>(c);
  if (byte < 0x20 || byte == 0x7F) return escaped_byte(byte);
  return {c};
}

// U+0080 to U+009F are control characters too (C2 80 to C2 9F).
bool is_c1_control(std::string_view character) {
  return character.size() == 2 && static_cast<unsigned char>(character[0]) == 0xC2 &&
         static_cast<unsigned char>(character[1]) <= 0x9F;
}

// The characters that reorder or hide text on a terminal that honours them
// (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069): a value
// could be made to read as another.
bool is_direction_control(std::string_view c) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(c[i]); };
  if (c.size() == 2) return at(0) == 0xD8 && at(1) == 0x9C;
  if (c.size() != 3 || at(0) != 0xE2) return false;
  if (at(1) == 0x80) return at(2) == 0x8E || at(2) == 0x8F || (at(2) >= 0xAA && at(2) <= 0xAE);
  return at(1) == 0x81 && at(2) >= 0xA6 && at(2) <= 0xA9;
}

// One character as it can be shown on a terminal; `well_formed` is false
// for a single byte that begins no UTF-8 character.
std::string shown_character(std::string_view character, bool well_formed) {
  if (!well_formed) return escaped_byte(static_cast<unsigned char>(character[0]));
  if (character.size() == 1) return escaped_ascii(character[0]);
  if (is_c1_control(character) || is_direction_control(character)) {
    std::string escaped;
    for (char byte : character) escaped += escaped_byte(static_cast<unsigned char>(byte));
    return escaped;
  }
  return std::string(character);
}

}  // namespace

std::string printable(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    const std::size_t length = utf8_character_length(text);
    const std::size_t step = std::max<std::size_t>(length, 1);
    out += shown_character(text.substr(0, step), length != 0);
    text.remove_prefix(step);
  }
  return out;
}

}  // namespace zarn
