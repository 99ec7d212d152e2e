// Command front end: argument capture, number reading, the run sequence and
// the one place where a failure becomes a diagnostic line and an exit status.
#pragma once

#include <array>
#include <exception>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "audio/audio.h"

namespace zarn {

// Exit statuses besides the error numbers of the diagnostics.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRefused = 2;  // the tool's own refusals

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

using CallsignField = Field<10>;
using NumberField = Field<8>;
using FilenameField = Field<80>;

// How reading a number failed; the values are the diagnostics' error numbers.
enum class ReadError { end_of_file = 24, syntax = 59, conversion = 64 };

// Reads a real constant from the field into `value`. A field that starts
// with a comma or a slash leaves `value` as it was.
std::optional<ReadError> read_real(const NumberField& field, float& value);

// What a failure says on standard error and the status the process ends with.
struct Diagnostic {
  std::string lines;
  int status;
};

Diagnostic describe(ReadError error);
Diagnostic describe(const UnknownSymbol& symbol);
Diagnostic describe(const ToneRefusal& refusal);
Diagnostic describe(const FileError& error);
Diagnostic describe(const std::exception& e);

// The usage line exactly as written to standard output.
inline constexpr std::string_view kUsage = " Usage: zarn <callsign> <wpm> <filename> [<freq>]\r\n";

struct Outcome {
  bool usage = false;                 // too few arguments: print kUsage
  std::optional<Diagnostic> failure;  // the run stopped with this
};

// The run sequence, given the arguments after the program name: capture the
// fields, read the numbers, encode, render and write through `sink`.
Outcome zarn(std::span<const std::string_view> args, Sink& sink);

// Prints what the outcome calls for and returns the process's exit status.
int report(const Outcome& outcome);

// Console interrupts end the run with their diagnostic and by the signal
// itself; a file-size limit becomes a write error rather than a kill.
void install_signal_handlers();

}  // namespace zarn
