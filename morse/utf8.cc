#include "morse/utf8.h"

namespace zarn {
namespace {

bool is_continuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The range of the second byte that keeps a sequence well-formed: the
// limits after E0, ED, F0 and F4 rule out overlong forms, surrogates and
// codes above U+10FFFF.
struct SecondByte {
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
};

SecondByte second_byte_for(unsigned char lead) {
  if (lead == 0xE0) return {0xA0, 0xBF};
  if (lead == 0xED) return {0x80, 0x9F};
  if (lead == 0xF0) return {0x90, 0xBF};
  if (lead == 0xF4) return {0x80, 0x8F};
  return {};
}

std::size_t sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;  // a continuation byte, C0, C1 (always overlong) or F5 and above
}

}  // namespace

std::size_t utf8_character_length(std::string_view text) {
  if (text.empty()) return 0;
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t length = sequence_length(lead);
  if (length == 0 || text.size() < length) return 0;
  if (length == 1) return 1;
  const SecondByte second = second_byte_for(lead);
  const auto byte = static_cast<unsigned char>(text[1]);
  if (byte < second.low || byte > second.high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!is_continuation(static_cast<unsigned char>(text[i]))) return 0;
  }
  return length;
}

char32_t utf8_code_point(std::string_view character) {
  // The lead byte keeps 7, 5, 4 or 3 bits; each continuation byte 6.
  constexpr unsigned char kLeadMask[] = {0x7F, 0x1F, 0x0F, 0x07};
  const std::size_t extra = character.size() - 1;
  char32_t code = static_cast<unsigned char>(character[0]) & kLeadMask[extra];
  for (std::size_t i = 1; i < character.size(); ++i) {
    code = (code << 6) | (static_cast<unsigned char>(character[i]) & 0x3F);
  }
  return code;
}

}  // namespace zarn
