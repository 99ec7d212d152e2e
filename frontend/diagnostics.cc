// The one place where failures become text on standard error and exit
// statuses; nothing else in the tool writes to standard error.
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>

#include "frontend/frontend.h"

namespace zarn {
namespace {

constexpr std::string_view kPrefix = "zarn: ";

// Number reading happens on this unit with this name.
constexpr int kReadUnit = -5;
constexpr std::string_view kReadFile = "Internal List-Directed Read";
// The output file's unit.
constexpr int kFileUnit = 12;

std::string_view read_error_text(ReadError error) {
  switch (error) {
    case ReadError::end_of_file:
      return "end-of-file during read, unit %d, file %s";
    case ReadError::syntax:
      return "list-directed I/O syntax error, unit %d, file %s";
    case ReadError::conversion:
      return "input conversion error, unit %d, file %s";
  }
  return {};
}

std::string_view io_error_text(IoError error) {
  switch (error) {
    case IoError::access_denied:
      return "permission to access file denied, unit %d, file %s";
    case IoError::not_found:
      return "file not found, unit %d, file %s";
    case IoError::open_failure:
      return "open failure, unit %d, file %s";
    case IoError::write_failure:
      return "error during write, unit %d, file %s";
    case IoError::no_device:
      return "no such device, unit %d, file %s";
    case IoError::bad_name:
      return "file name specification error, unit %d, file %s";
    case IoError::read_only:
      return "write to READONLY file, unit %d, file %s";
  }
  return {};
}

std::string replace_first(std::string text, std::string_view from, std::string_view to) {
  if (const auto at = text.find(from); at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// "zarn: severe (N): <text with its unit and file>".
Diagnostic severe(int number, std::string_view text, int unit, std::string_view file) {
  std::string body = replace_first(std::string(text), "%d", std::to_string(unit));
  body = replace_first(std::move(body), "%s", file);
  return {std::string(kPrefix) + "severe (" + std::to_string(number) + "): " + body + "\n", number};
}

Diagnostic refused(std::string_view what) {
  return {std::string(kPrefix) + "severe: " + std::string(what) + "\n", kExitRefused};
}

std::string shortest(float value) {
  char buf[32];
  const auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
  return std::string(buf, end);
}

bool has_platform_line(const FileError& e) {
  if (e.error == IoError::write_failure) return true;
  return e.error == IoError::open_failure && e.sys_errno != 0 && e.sys_errno != EMFILE &&
         e.sys_errno != ENFILE;
}

void write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // nowhere left to say it
    text.remove_prefix(static_cast<std::size_t>(n));
  }
}

// Prebuilt so the handler only calls async-signal-safe functions.
constexpr std::string_view kInterruptControlC =
    "zarn: error (200): program aborting due to control-C event\n";
constexpr std::string_view kInterruptControlBreak =
    "zarn: error (200): program aborting due to control-BREAK event\n";
constexpr std::string_view kInterruptWindowClose =
    "zarn: error (200): program aborting due to window-CLOSE event\n";

extern "C" void on_interrupt(int sig) {
  const std::string_view message = sig == SIGINT    ? kInterruptControlC
                                   : sig == SIGQUIT ? kInterruptControlBreak
                                                    : kInterruptWindowClose;
  write_all(STDERR_FILENO, message);
  // End by the signal itself, so the parent sees an interrupted run and not
  // a success; the kernel closes the file, and what was written stays.
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

}  // namespace

Diagnostic describe(ReadError error) {
  return severe(static_cast<int>(error), read_error_text(error), kReadUnit, kReadFile);
}

Diagnostic describe(const UnknownSymbol& symbol) {
  const bool printable = symbol.code > ' ' && symbol.code < 0x7F;
  std::string shown = "code " + std::to_string(symbol.code);
  if (printable) shown = {'\'', static_cast<char>(symbol.code), '\''};
  return refused("callsign character " + shown + " at position " + std::to_string(symbol.position) +
                 " has no Morse code");
}

Diagnostic describe(const ToneRefusal& refusal) {
  if (refusal.reason == ToneRefusal::Reason::speed_not_positive) {
    return refused("speed must be above 0 wpm, not " + shortest(refusal.wpm));
  }
  return refused(std::to_string(refusal.units) + " Morse units at " + shortest(refusal.wpm) +
                 " wpm make a sound too long for a WAV file");
}

Diagnostic describe(const FileError& error) {
  const int number = static_cast<int>(error.error);
  Diagnostic d = severe(number, io_error_text(error.error), kFileUnit, error.path);
  if (has_platform_line(error)) {
    d.lines = std::string(kPrefix) + std::strerror(error.sys_errno) + "\n" + d.lines;
  }
  return d;
}

Diagnostic describe(const std::exception& e) {
  return refused(std::string("internal failure: ") + e.what());
}

int report(const Outcome& outcome) {
  if (outcome.usage) write_all(STDOUT_FILENO, kUsage);
  if (!outcome.failure) return kExitSuccess;
  write_all(STDERR_FILENO, outcome.failure->lines);
  return outcome.failure->status;
}

void install_signal_handlers() {
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGINT, SIGQUIT, SIGHUP}) {
    // A signal the caller chose to ignore (nohup, a background job) stays
    // ignored.
    struct sigaction current {};
    if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaction(sig, &action, nullptr);
  }
  // Failed writes are reported as write errors (error 38): a file-size limit
  // or a reader that went away must not kill the run without a word.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace zarn
