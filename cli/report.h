// The one place where what a run leaves to be said reaches standard output
// and standard error; nothing else in the executable prints.
#pragma once

#include "cli/run.h"

namespace zarn {

// Prints what the outcome calls for and returns the process's exit status.
// Text for standard output that cannot be written all is a failure too.
int report(const Outcome& outcome);

}  // namespace zarn
