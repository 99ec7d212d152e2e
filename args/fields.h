// The command line's fixed-width text fields: the callsign and the numbers are
// cut to their field's width and blank-padded, as scripts and stored command
// lines expect. The file name has no width: a cut name would be another file.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "morse/callsign.h"

namespace zarn {

// Text of fixed width, blank-padded on the right; a longer text is cut.
template <std::size_t Width>
struct Field {
  std::array<char, Width> chars;

  explicit Field(std::string_view text) {
    chars.fill(' ');
    text.copy(chars.data(), Width);
  }
  std::string_view view() const { return {chars.data(), Width}; }
};

using CallsignField = Field<kCallsignWidth>;
using NumberField = Field<8>;

// The text without its leading and trailing blanks.
inline std::string_view trim_blanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace zarn
