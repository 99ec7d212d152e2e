// Text from the command line as a diagnostic can show it: on one line, and
// nothing in it that a terminal would take for a command.
#pragma once

#include <string>
#include <string_view>

namespace zarn {

// `text` with control characters written as escapes (\n, \t, \r, \x1b),
// format characters, the line and paragraph separators, combining marks and
// noncharacters as their UTF-8 bytes (\xe2\x80\x8b), and bytes that begin no UTF-8 character as
// \xNN; other well-formed characters stay as they are.
std::string printable(std::string_view text);

}  // namespace zarn
