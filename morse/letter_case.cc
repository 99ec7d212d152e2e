#include "morse/letter_case.h"

namespace zarn {
namespace {

bool in(char32_t code, char32_t first, char32_t last) {
  return code >= first && code <= last;
}

// Latin Extended-A and Cyrillic beyond the basic letters pair each capital
// with the small letter after it: even codes are capitals in some runs, odd
// codes in others.
char32_t paired_upper(char32_t code, bool capitals_even) {
  const bool even = code % 2 == 0;
  return even == capitals_even ? code : code - 1;
}

char32_t latin_upper(char32_t code) {
  if (in(code, 0xE0, 0xFE) && code != 0xF7) return code - 0x20;  // not the division sign
  if (code == 0xFF) return 0x178;
  if (in(code, 0x100, 0x137) || in(code, 0x14A, 0x177)) return paired_upper(code, true);
  if (in(code, 0x139, 0x148) || in(code, 0x179, 0x17E)) return paired_upper(code, false);
  if (in(code, 0x218, 0x21B)) return paired_upper(code, true);  // S and T with comma below
  return code;
}

char32_t greek_upper(char32_t code) {
  if (code == 0x3C2) return 0x3A3;  // final sigma
  if (in(code, 0x3B1, 0x3CB)) return code - 0x20;
  if (code == 0x3AC) return 0x386;
  if (in(code, 0x3AD, 0x3AF)) return code - 0x25;
  if (code == 0x3CC) return 0x38C;
  if (in(code, 0x3CD, 0x3CE)) return code - 0x3F;
  return code;
}

char32_t cyrillic_upper(char32_t code) {
  if (in(code, 0x430, 0x44F)) return code - 0x20;
  if (in(code, 0x450, 0x45F)) return code - 0x50;
  if (in(code, 0x460, 0x481) || in(code, 0x48A, 0x4BF)) return paired_upper(code, true);
  return code;
}

}  // namespace

char32_t upper_case(char32_t code) {
  if (code < 0x370) return latin_upper(code);
  if (code < 0x400) return greek_upper(code);
  if (code < 0x530) return cyrillic_upper(code);
  return code;
}

}  // namespace zarn
