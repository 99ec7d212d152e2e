// --fold: a letter with a mark but no code of its own is sent as its plain
// letter.
#pragma once

#include <optional>

namespace zarn {

// The letter that `upper` (an upper-case letter, or one without case) is
// made of before its marks, by Unicode's canonical decomposition: A for
// U+00C1, Greek alpha for alpha with tonos, alef for alef with hamza above.
// Nothing for a letter that decomposes to no letter zarn sends.
std::optional<char32_t> base_letter(char32_t upper);

}  // namespace zarn
