// A change of speed, character speed, tone or volume written inside a
// message: "|w25", "|e30", "|f700", "|v-6". It holds from the next
// character on.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace zarn {

struct InlineChange {
  enum class Kind : char { speed = 'w', character_speed = 'e', tone = 'f', volume = 'v' };
  Kind kind;
  double value;      // wpm, wpm, Hz or dB, as written; the plan checks its range
  std::size_t unit;  // the first Morse unit it applies to: a character's first
  int position = 0;  // where its '|' was written, as a message error places it
  int line = 0;
  int column = 0;
};

// What follows a '|' in a message: a change, read off the front of `rest`
// (the letter and its number), with the bytes it took.
struct ChangeText {
  InlineChange::Kind kind;
  double value;
  std::size_t length;
};

// Reads the letter and the number after a '|': nothing when the letter is
// none of w, e, f, v or the number is missing or malformed. The number is
// an optional sign, digits and an optional fraction: "|w25HELLO" is 25 wpm
// then HELLO.
std::optional<ChangeText> read_change(std::string_view rest);

// Whether `letter` names a change.
bool is_change_letter(char letter);

}  // namespace zarn
