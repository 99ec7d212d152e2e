#include "cli/signals.h"

#include <unistd.h>

#include <csignal>
#include <string_view>

#include "cli/write_all.h"
#include "output/interrupt_cleanup.h"

namespace zarn {
namespace {

// Every signal whose default ends the run and that can be caught; the
// console's and SIGTERM say so in a line, prebuilt so that the handler only
// calls async-signal-safe functions. SIGXFSZ and SIGPIPE are ignored
// instead: they are write errors.
struct FatalSignal {
  int signal;
  std::string_view line;  // empty: ends the run without a word
};
constexpr FatalSignal kFatalSignals[] = {
    {SIGINT, "zarn: error (200): program aborting due to control-C event\n"},
    {SIGQUIT, "zarn: error (200): program aborting due to control-BREAK event\n"},
    {SIGHUP, "zarn: error (200): program aborting due to window-CLOSE event\n"},
    {SIGTERM, "zarn: error (200): program aborting due to termination-REQUEST event\n"},
    {SIGUSR1, {}},
    {SIGUSR2, {}},
    {SIGALRM, {}},
    {SIGVTALRM, {}},
    {SIGPROF, {}},
    {SIGIO, {}},
#ifdef SIGPWR
    {SIGPWR, {}},
#endif
    {SIGXCPU, {}},
};

extern "C" void on_fatal_signal(int sig) {
  // First the output, so that nothing half written stays whatever comes
  // after.
  clean_up_interrupted_output();
  for (const auto& fatal : kFatalSignals) {
    if (fatal.signal == sig) write_all(STDERR_FILENO, fatal.line);
  }
  // End by the signal itself, so the parent sees an interrupted run and not
  // a success. Another one already pending is dropped: it would say a second
  // line.
  for (const auto& fatal : kFatalSignals) {
    std::signal(fatal.signal, fatal.signal == sig ? SIG_DFL : SIG_IGN);
  }
  std::raise(sig);
}

}  // namespace

void install_signal_handlers() {
  struct sigaction action {};
  action.sa_handler = on_fatal_signal;
  // One line, however many of them come at once.
  sigemptyset(&action.sa_mask);
  for (const auto& fatal : kFatalSignals) sigaddset(&action.sa_mask, fatal.signal);
  for (const auto& fatal : kFatalSignals) {
    // A signal the caller chose to ignore (nohup, a background job) stays
    // ignored.
    struct sigaction current {};
    const int sig = fatal.signal;
    if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaction(sig, &action, nullptr);
  }
  // Failed writes are reported as write errors: a file-size limit
  // or a reader that went away must not kill the run without a word.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace zarn
