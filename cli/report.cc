#include "cli/report.h"

#include <unistd.h>

#include <cstring>
#include <optional>
#include <string>

#include "cli/write_all.h"

namespace zarn {

int report(const Outcome& outcome) {
  std::optional<Diagnostic> failure = outcome.failure;
  if (const int err = write_all(STDOUT_FILENO, outcome.out); err != 0 && !failure) {
    failure = Diagnostic{
        std::string("zarn: severe: cannot write to standard output: ") + std::strerror(err) + "\n",
        ExitStatus::standard_output_lost};
  }
  if (!failure) return status_number(ExitStatus::success);
  // With standard error closed the line is lost; the status still tells.
  write_all(STDERR_FILENO, failure->lines);
  return status_number(failure->status);
}

}  // namespace zarn
