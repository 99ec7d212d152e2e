// The Greek alphabet.
#pragma once

#include <span>

#include "morse/scripts/script_letter.h"

namespace zarn {

// The upper-case letters, sorted.
std::span<const ScriptLetter> greek_letters();

}  // namespace zarn
