// Upper case for the letters the script tables hold, so that a table lists
// each letter once.
#pragma once

namespace zarn {

// The upper-case letter of a lower-case Latin (Latin-1 and Latin
// Extended-A), Greek or Cyrillic letter; any other code as it is. Final
// sigma is sigma.
char32_t upper_case(char32_t code);

}  // namespace zarn
