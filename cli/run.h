// The executable's run: from its arguments to the written file, or to what
// is left to be said.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/describe.h"
#include "output/sink.h"

namespace zarn {

// How a run ended: what is left to be said.
struct Outcome {
  std::string out;                    // for standard output: the usage line, --help, --version
  std::optional<Diagnostic> failure;  // the run stopped with this
};

// Given the arguments after the program name: reads the command, plans its
// sound, and opens, writes and closes the output through `sink`.
Outcome run(std::span<const std::string_view> args, Sink& sink);

}  // namespace zarn
