// Any bytes in the 8-character number field: a value or one of the three
// read errors, never anything else.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

#include "args/number.h"
#include "fuzz/check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const zarn::NumberField field(text);
  constexpr float kBefore = 12345.5f;
  const auto read = zarn::read_number(field, kBefore);
  const std::optional<zarn::NumberError> error = read ? std::nullopt : std::optional(read.error());
  const float value = read ? *read : kBefore;

  const auto first = field.view().find_first_not_of(" \t");
  FUZZ_CHECK((error == zarn::NumberError::empty) == (first == std::string_view::npos));
  if (error) {
    FUZZ_CHECK(*error == zarn::NumberError::empty || *error == zarn::NumberError::malformed ||
               *error == zarn::NumberError::out_of_range);
    FUZZ_CHECK(value == kBefore);
    // Only an exponent can take eight characters beyond the float range.
    if (*error == zarn::NumberError::out_of_range) {
      FUZZ_CHECK(field.view().find_first_of("EeDdQq") != std::string_view::npos);
    }
    return 0;
  }
  const char lead = field.view()[first];
  if (lead == ',' || lead == '/') FUZZ_CHECK(value == kBefore);
  FUZZ_CHECK(std::isfinite(value));
  return 0;
}
