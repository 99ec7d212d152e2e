// What -h and -V print on standard output.
#pragma once

#include <string_view>

namespace zarn {

// The synopsis, the arguments, every option with its range and default, and
// the presets.
std::string_view help_text();

// The program's name and version, then its licence.
std::string_view version_text();

}  // namespace zarn
