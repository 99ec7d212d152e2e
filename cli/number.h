// Reading the speed and the tone from their 8-character fields.
#pragma once

#include <optional>

#include "cli/fields.h"

namespace zarn {

enum class NumberError {
  empty,         // nothing but blanks and tabs
  malformed,     // not a real constant
  out_of_range,  // beyond the single-precision range
};

// Reads a real constant from the field into `value`, rounded to single
// precision. A field that starts with a comma or a slash leaves `value` as it
// was.
std::optional<NumberError> read_number(const NumberField& field, float& value);

}  // namespace zarn
