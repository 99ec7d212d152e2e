// Characters of UTF-8 text, so that a message counts and shows characters
// rather than bytes.
#pragma once

#include <cstddef>
#include <string_view>

namespace zarn {

// The length in bytes of the well-formed UTF-8 character at the start of
// `text`: 1 to 4. 0 when `text` is empty or starts with a byte that begins
// no well-formed character (a stray continuation byte, a cut or overlong
// sequence, a surrogate, a code above U+10FFFF).
std::size_t utf8_character_length(std::string_view text);

// The code point of `character`, one well-formed UTF-8 character whole (as
// utf8_character_length measured it).
char32_t utf8_code_point(std::string_view character);

}  // namespace zarn
