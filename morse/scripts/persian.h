// The Persian alphabet.
#pragma once

#include <span>

#include "morse/scripts/script_letter.h"

namespace zarn {

// The letters, sorted.
std::span<const ScriptLetter> persian_letters();

}  // namespace zarn
