// A command line's words as what they ask for: a sound (a Request and the
// file it goes to), or text to print. The executable's words name the output
// file; the library's leave it out.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/failure.h"
#include "core/request.h"
#include "core/result.h"

namespace zarn {

struct Command {
  Request request;
  std::string_view file_name;  // without its blanks; empty where the words name none
  std::string_view out;        // for standard output instead of a sound: the usage line, --help
  bool sync = false;           // --sync: the file on the disk before the run ends
};

struct CommandForm {
  bool names_file = true;   // <filename> follows <wpm>
  bool reads_files = true;  // -f may read a file or standard input
};

// Reads options, then the numbers, then the message file, each before the
// next, so that the first mistake is the one reported and nothing is read
// past it.
Result<Command> read_command(std::span<const std::string_view> args, CommandForm form);

}  // namespace zarn
