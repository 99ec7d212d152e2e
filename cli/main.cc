// zarn <callsign> <wpm> <filename> [<freq>]: writes the callsign as a Morse
// identification in a WAV file.
#include <exception>
#include <string_view>
#include <vector>

#include "cli/report.h"
#include "cli/run.h"
#include "cli/signals.h"
#include "output/output_file.h"

int main(int argc, char** argv) {
  try {
    zarn::install_signal_handlers();
    const std::vector<std::string_view> args(argc > 0 ? argv + 1 : argv, argv + argc);
    zarn::OutputFile file;
    return zarn::report(zarn::run(args, file));
  } catch (const std::exception& e) {
    return zarn::report({.out = {}, .failure = zarn::describe(zarn::failure_of(e))});
  }
}
