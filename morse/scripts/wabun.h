// Japanese kana.
#pragma once

#include <span>

#include "morse/scripts/script_letter.h"

namespace zarn {

// Katakana, the voicing marks, the long-vowel mark and kana punctuation, sorted.
std::span<const ScriptLetter> wabun_letters();

}  // namespace zarn
