// Latin letters with marks that have codes of their own.
#pragma once

#include <span>

#include "morse/scripts/script_letter.h"

namespace zarn {

// The upper-case letters, sorted.
std::span<const ScriptLetter> latin_mark_letters();

}  // namespace zarn
