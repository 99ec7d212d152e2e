#include "cli/signals.h"

#include <unistd.h>

#include <csignal>
#include <string_view>

#include "cli/write_all.h"
#include "output/output_file.h"

namespace zarn {
namespace {

// Prebuilt so the handler only calls async-signal-safe functions.
struct Interrupt {
  int signal;
  std::string_view line;
};
constexpr Interrupt kInterrupts[] = {
    {SIGINT, "zarn: error (200): program aborting due to control-C event\n"},
    {SIGQUIT, "zarn: error (200): program aborting due to control-BREAK event\n"},
    {SIGHUP, "zarn: error (200): program aborting due to window-CLOSE event\n"},
    {SIGTERM, "zarn: error (200): program aborting due to termination-REQUEST event\n"},
};

extern "C" void on_interrupt(int sig) {
  // First the file, so that no old byte follows the new ones whatever comes
  // after; a caller's descriptor is left as it is.
  cut_interrupted_file();
  for (const auto& interrupt : kInterrupts) {
    if (interrupt.signal == sig) write_all(STDERR_FILENO, interrupt.line);
  }
  // End by the signal itself, so the parent sees an interrupted run and not
  // a success. Another one already pending is dropped: it would say a second
  // line.
  for (const auto& interrupt : kInterrupts) {
    std::signal(interrupt.signal, interrupt.signal == sig ? SIG_DFL : SIG_IGN);
  }
  std::raise(sig);
}

}  // namespace

void install_signal_handlers() {
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  // One line, however many of them come at once.
  sigemptyset(&action.sa_mask);
  for (const auto& interrupt : kInterrupts) sigaddset(&action.sa_mask, interrupt.signal);
  for (const auto& interrupt : kInterrupts) {
    // A signal the caller chose to ignore (nohup, a background job) stays
    // ignored.
    struct sigaction current {};
    const int sig = interrupt.signal;
    if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaction(sig, &action, nullptr);
  }
  // Failed writes are reported as write errors: a file-size limit
  // or a reader that went away must not kill the run without a word.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace zarn
