#include "morse/kana.h"

namespace zarn {
namespace {

bool in(char32_t code, char32_t first, char32_t last) {
  return code >= first && code <= last;
}

// Small katakana and the full-size one each stands for.
struct Small {
  char32_t small;
  char32_t full;
};
constexpr Small kSmall[] = {
    {0x30A1, 0x30A2}, {0x30A3, 0x30A4}, {0x30A5, 0x30A6}, {0x30A7, 0x30A8},
    {0x30A9, 0x30AA}, {0x30C3, 0x30C4}, {0x30E3, 0x30E4}, {0x30E5, 0x30E6},
    {0x30E7, 0x30E8}, {0x30EE, 0x30EF}, {0x30F5, 0x30AB}, {0x30F6, 0x30B1},
};

// The voiced katakana by Unicode's canonical decomposition: the K, S and T
// rows put each voiced kana just after its plain one (up to DI, then DU, DE
// and DO), the H row a voiced and a half-voiced one; VU and the voiced W
// row stand apart.
KanaParts split_voiced(char32_t code) {
  if (in(code, 0x30AC, 0x30C2) && code % 2 == 0) return {code - 1, kVoicedMark};
  if (code == 0x30C5 || code == 0x30C7 || code == 0x30C9) return {code - 1, kVoicedMark};
  if (in(code, 0x30D0, 0x30DD)) {
    const char32_t step = (code - 0x30CF) % 3;
    if (step == 1) return {code - 1, kVoicedMark};
    if (step == 2) return {code - 2, kHalfVoicedMark};
  }
  if (code == 0x30F4) return {0x30A6, kVoicedMark};
  if (in(code, 0x30F7, 0x30FA)) return {code - 8, kVoicedMark};  // WA, WI, WE, WO
  return {code};
}

}  // namespace

KanaParts kana_parts(char32_t code) {
  if (in(code, 0x3041, 0x3096)) code += 0x60;  // hiragana
  if (code == 0x3099 || code == 0xFF9E) return {kVoicedMark};
  if (code == 0x309A || code == 0xFF9F) return {kHalfVoicedMark};
  for (const Small& small : kSmall) {
    if (small.small == code) return {small.full};
  }
  return split_voiced(code);
}

}  // namespace zarn
