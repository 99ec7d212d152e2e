// The one place where a failure becomes its words and its exit status, for
// every front end: the executable prints them, the library hands them over.
#pragma once

#include <exception>
#include <string>

#include "core/exit_status.h"
#include "core/failure.h"

namespace zarn {

// What a failure says, with its line end, and the status it ends a run with.
struct Diagnostic {
  std::string lines;
  ExitStatus status;
};

Diagnostic describe(const Failure& failure);

// An exception that escaped every stage, as a failure.
Failure failure_of(const std::exception& e);

}  // namespace zarn
