// The one place where a failure becomes a line on standard error and an exit
// status; nothing else in the tool writes to standard error.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "cli/exit_status.h"
#include "cli/number.h"
#include "cli/options.h"
#include "cli/text_file.h"
#include "morse/callsign.h"
#include "morse/message.h"
#include "output/sink.h"
#include "sound/refusal.h"

namespace zarn {

// What a failure says on standard error and the status the process ends with.
struct Diagnostic {
  std::string lines;
  ExitStatus status;
};

Diagnostic describe(NumberError error);
Diagnostic describe(const UnknownSymbol& symbol);
Diagnostic describe(const SoundRefusal& refusal);
Diagnostic describe(const OptionError& error);
Diagnostic describe(const MessageError& error);
// `name` is the message file's name as given, "-" for standard input.
Diagnostic describe(const TextFileError& error, std::string_view name);
// `name` is the file name as the user gave it, without its blanks.
Diagnostic describe(const FileError& error, std::string_view name);
Diagnostic describe(const std::exception& e);

// The usage line exactly as written to standard output.
inline constexpr std::string_view kUsage = " Usage: zarn <callsign> <wpm> <filename> [<freq>]\r\n";

// How a run ended: what is left to be said.
struct Outcome {
  std::string out;                    // for standard output, kUsage for too few arguments
  std::optional<Diagnostic> failure;  // the run stopped with this
};

// Prints what the outcome calls for and returns the process's exit status.
// Text for standard output that cannot be written all is a failure too.
int report(const Outcome& outcome);

// Every catchable signal that would end the run (console interrupts and
// SIGTERM with their diagnostic) first undoes the output under way, then
// ends it by the signal itself; a file-size limit or a vanished reader
// becomes a write error rather than a kill.
void install_signal_handlers();

}  // namespace zarn
