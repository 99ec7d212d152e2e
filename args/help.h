// What -h and -V print on standard output.
#pragma once

#include <string_view>

namespace zarn {

// The usage line exactly as written to standard output when the arguments
// are too few.
inline constexpr std::string_view kUsage = " Usage: zarn <callsign> <wpm> <filename> [<freq>]\r\n";

// The synopsis, the arguments, every option with its range and default, and
// the presets.
std::string_view help_text();

// The program's name and version, then its licence.
std::string_view version_text();

}  // namespace zarn
