// The Cyrillic alphabets: Russian and Ukrainian.
#pragma once

#include <span>

#include "morse/scripts/script_letter.h"

namespace zarn {

// The Russian upper-case letters, sorted.
std::span<const ScriptLetter> russian_letters();

// The Ukrainian upper-case letters, sorted.
std::span<const ScriptLetter> ukrainian_letters();

}  // namespace zarn
