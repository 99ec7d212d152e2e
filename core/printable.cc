#include "core/printable.h"

#include <algorithm>
#include <iterator>

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

// The code point of a well-formed UTF-8 character of two to four bytes.
char32_t code_point(std::string_view character) {
  const auto lead = static_cast<unsigned char>(character[0]);
  char32_t code = lead & (0x7F >> character.size());
  for (char byte : character.substr(1)) {
    code = code << 6 | (static_cast<unsigned char>(byte) & 0x3F);
  }
  return code;
}

struct Range {
  char32_t first;
  char32_t last;
};

// Characters a terminal does not show as themselves: the C1 controls, every
// format character (Unicode 15, general category Cf) with the line and
// paragraph separators, every space but the ASCII one (Zs), the blank
// fillers (Hangul, braille) and the combining marks' blocks. Among them are
// the direction controls, which reorder text, the zero-width ones, which hide
// in it, and the marks, which join onto the quote or slash before them: a
// name could be made to read as another.
constexpr Range kUnshown[] = {
    {0x80, 0xA0},       {0xAD, 0xAD},       {0x300, 0x36F},     {0x483, 0x489},
    {0x1AB0, 0x1AFF},   {0x1DC0, 0x1DFF},   {0x20D0, 0x20FF},   {0xFE20, 0xFE2F},
    {0x600, 0x605},     {0x61C, 0x61C},     {0x6DD, 0x6DD},     {0x70F, 0x70F},
    {0x890, 0x891},     {0x8E2, 0x8E2},     {0x115F, 0x1160},   {0x1680, 0x1680},
    {0x180E, 0x180E},   {0x2000, 0x200F},   {0x2028, 0x202F},   {0x205F, 0x2064},
    {0x2066, 0x206F},   {0x2800, 0x2800},   {0x3000, 0x3000},   {0xFDD0, 0xFDEF},
    {0x3164, 0x3164},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF9, 0xFFFB},
    {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3},
    {0x1D173, 0x1D17A}, {0xE0001, 0xE0001}, {0xE0020, 0xE007F},
};

bool is_unshown(std::string_view character) {
  const char32_t code = code_point(character);
  // The noncharacters U+FFFE and U+FFFF of every plane: a reader may take
  // U+FFFE for a byte order mark.
  if ((code & 0xFFFE) == 0xFFFE) return true;
  return std::any_of(std::begin(kUnshown), std::end(kUnshown),
                     [&](const Range& r) { return code >= r.first && code <= r.last; });
}

// One character as it can be shown on a terminal; `well_formed` is false
// for a single byte that begins no UTF-8 character.
std::string shown_character(std::string_view character, bool well_formed) {
  if (!well_formed) return escaped_byte(static_cast<unsigned char>(character[0]));
  if (character.size() == 1) return escaped_ascii(character[0]);
  if (is_unshown(character)) {
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
