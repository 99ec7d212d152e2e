// Reading the speed and the tone from their 8-character fields.
#pragma once

#include "args/fields.h"
#include "core/argument_errors.h"
#include "core/result.h"

namespace zarn {

// Reads a real constant from the field, rounded to single precision. A field
// that starts with a comma or a slash is a null value: it gives `unchanged`.
Result<float, NumberError> read_number(const NumberField& field, float unchanged = 0);

}  // namespace zarn
