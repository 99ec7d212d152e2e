// Japanese kana as the kana code sends them: a voiced kana is its plain
// kana and then the voicing mark.
#pragma once

#include <optional>

namespace zarn {

inline constexpr char32_t kVoicedMark = 0x309B;      // the spacing dakuten
inline constexpr char32_t kHalfVoicedMark = 0x309C;  // the spacing handakuten

struct KanaParts {
  char32_t kana;      // a full-size katakana, a mark or kana punctuation as it is
  char32_t mark = 0;  // kVoicedMark, kHalfVoicedMark, or 0 for none
};

// `code` with hiragana as katakana, small kana as full-size ones (the code
// has no small kana), the combining and half-width marks as the spacing ones,
// and a voiced kana split into its kana and its mark. Any other code comes
// back as it is, for the kana table to take or leave.
KanaParts kana_parts(char32_t code);

}  // namespace zarn
