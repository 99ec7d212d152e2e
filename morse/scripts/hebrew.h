// The Hebrew alphabet.
#pragma once

#include <span>

#include "morse/scripts/script_letter.h"

namespace zarn {

// The letters and their final forms, sorted.
std::span<const ScriptLetter> hebrew_letters();

}  // namespace zarn
