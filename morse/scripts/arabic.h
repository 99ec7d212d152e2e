// The Arabic alphabet.
#pragma once

#include <span>

#include "morse/scripts/script_letter.h"

namespace zarn {

// The letters, sorted.
std::span<const ScriptLetter> arabic_letters();

}  // namespace zarn
