// The answer key of a practice set, written where --key names it before the
// sound is made, so that a key that cannot be had leaves the sound file
// untouched.
#pragma once

#include <string_view>

#include "core/failure.h"
#include "core/result.h"

namespace zarn {

// Writes `key` to the file `name`, created or cut, or to standard output
// for "-".
Result<void, KeyFileFailure> write_key(std::string_view name, std::string_view key);

}  // namespace zarn
