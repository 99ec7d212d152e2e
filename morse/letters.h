// The letters of every script a message may hold, beyond A to Z: which
// table sends a letter, in either case, and what it sends.
#pragma once

#include <optional>
#include <string_view>

namespace zarn {

// The choices of the message's letter options.
struct LetterChoice {
  bool ch = false;         // --ch: C H as the one character CH, ----
  bool fold = false;       // --fold: a letter with marks but no code as its plain letter
  bool ukrainian = false;  // --ukrainian: Cyrillic is Ukrainian, not Russian
  bool persian = false;    // --persian: the Arabic script is Persian, not Arabic
};

// What one character sends.
struct LetterCode {
  std::string_view pattern = {};  // in the units of the callsign table
  std::string_view mark = {};     // a voiced kana's mark, sent after it; empty otherwise
  bool kana = false;              // sent in the kana code, between <DO> and <SN>
};

// The code of a character beyond ASCII: a Latin letter with marks, a
// Cyrillic, Greek, Hebrew, Arabic or Persian letter, or kana. Nothing for a
// character no table holds, even with --fold.
std::optional<LetterCode> letter_code(char32_t code, const LetterChoice& choice);

}  // namespace zarn
