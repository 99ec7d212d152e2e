// The run: from the arguments to the written file, or to the failure that
// stopped it.
#pragma once

#include <span>
#include <string_view>

#include "cli/diagnostics.h"
#include "output/sink.h"

namespace zarn {

// Given the arguments after the program name: captures the fields, reads the
// numbers, encodes the callsign, plans the tone, and opens, writes and
// closes the output through `sink`.
Outcome run(std::span<const std::string_view> args, Sink& sink);

}  // namespace zarn
