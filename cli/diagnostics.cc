#include "cli/diagnostics.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "cli/input_error_text.h"
#include "cli/printable.h"
#include "output/descriptor_name.h"
#include "output/interrupt_cleanup.h"

namespace zarn {
namespace {

constexpr std::string_view kPrefix = "zarn: ";

// Number reading happens on this unit with this name.
constexpr int kReadUnit = -5;
constexpr std::string_view kReadFile = "Internal List-Directed Read";
// The output file's unit.
constexpr int kFileUnit = 12;
// A longer full path is shown as the name was given.
constexpr std::size_t kMaxDisplayPath = 256;

struct Message {
  ExitStatus status;
  std::string_view text;
};

Message number_message(NumberError error) {
  switch (error) {
    case NumberError::empty:
      return {ExitStatus::empty_number, "end-of-file during read, unit %d, file %s"};
    case NumberError::malformed:
      return {ExitStatus::malformed_number, "list-directed I/O syntax error, unit %d, file %s"};
    case NumberError::out_of_range:
      return {ExitStatus::number_out_of_range, "input conversion error, unit %d, file %s"};
  }
  return {ExitStatus::refused, {}};
}

Message file_message(FileErrorKind kind) {
  switch (kind) {
    case FileErrorKind::access_denied:
      return {ExitStatus::access_denied, "permission to access file denied, unit %d, file %s"};
    case FileErrorKind::not_found:
      return {ExitStatus::file_not_found, "file not found, unit %d, file %s"};
    case FileErrorKind::open_failure:
      return {ExitStatus::open_failure, "open failure, unit %d, file %s"};
    case FileErrorKind::write_failure:
      return {ExitStatus::write_failure, "error during write, unit %d, file %s"};
    case FileErrorKind::no_device:
      return {ExitStatus::no_device, "no such device, unit %d, file %s"};
    case FileErrorKind::bad_name:
      return {ExitStatus::bad_file_name, "file name specification error, unit %d, file %s"};
    case FileErrorKind::read_only:
      return {ExitStatus::read_only_file, "write to READONLY file, unit %d, file %s"};
  }
  return {ExitStatus::refused, {}};
}

namespace fs = std::filesystem;

// `path` up to its last slash, and what follows it.
std::pair<std::string, std::string> split_last(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

fs::path joined(const fs::path& head, const fs::path& tail) {
  return tail.empty() ? head : head / tail;
}

// The full path `absolute` as the system resolves it, through symbolic links
// and "..": the deepest of its folders that exists, resolved, then the rest
// as written. The file's own name is not followed, as opening does not
// follow it to say where it is.
fs::path resolved(std::string absolute) {
  const bool trailing_slash = absolute.size() > 1 && absolute.ends_with('/');
  while (absolute.size() > 1 && absolute.ends_with('/')) absolute.pop_back();
  auto [folder, tail] = split_last(absolute);
  if (tail == "." || tail == "..") {
    folder = absolute;
    tail.clear();
  }
  fs::path shown = tail;
  for (std::error_code ec;; ec.clear()) {
    const auto real = fs::canonical(folder, ec);
    if (!ec || folder == "/") {
      shown = joined(ec ? fs::path(folder) : real, shown).lexically_normal();
      break;
    }
    auto [parent, last] = split_last(folder);
    shown = joined(last, shown);
    folder = parent;
  }
  return trailing_slash ? shown / "" : shown;
}

// The name as diagnostics show it: the full path of the file the system
// would have written, its folder resolved, or the name itself when that
// exceeds 256 characters. A name for one of the process's own descriptors
// is shown as written.
std::string display_path(std::string_view name) {
  if (name.empty()) return {};
  std::error_code ec;
  const auto cwd = fs::current_path(ec);
  if (ec) return std::string(name);
  const auto absolute = cwd / fs::path(name);
  const auto full = descriptor_named(name) ? absolute.lexically_normal().string()
                                           : resolved(absolute.string()).string();
  if (full.size() > kMaxDisplayPath) return std::string(name);
  return full;
}

std::string replace_first(std::string text, std::string_view from, std::string_view to) {
  if (const auto at = text.find(from); at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// "zarn: severe (N): <text with its unit and file>".
Diagnostic severe(const Message& message, int unit, std::string_view file) {
  std::string body = replace_first(std::string(message.text), "%d", std::to_string(unit));
  body = replace_first(std::move(body), "%s", file);
  const std::string number = std::to_string(status_number(message.status));
  return {std::string(kPrefix) + "severe (" + number + "): " + body + "\n", message.status};
}

Diagnostic refused(std::string_view what) {
  return {std::string(kPrefix) + "severe: " + std::string(what) + "\n", ExitStatus::refused};
}

// A computed limit to six significant digits: 91.6031, not the
// 91.60305076764956 that a single-precision speed makes of it.
std::string rounded(double value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", value);
  return buf;
}

// The shortest text that reads back as the same number.
template <class Number>
std::string shortest(Number value) {
  char buf[32];
  const auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
  return std::string(buf, end);
}

bool has_platform_line(const FileError& e) {
  if (e.kind == FileErrorKind::write_failure) return true;
  return e.kind == FileErrorKind::open_failure && e.system_errno != 0 && e.system_errno != EMFILE &&
         e.system_errno != ENFILE;
}

// Returns 0 once all of `text` is written, else the errno that stopped it.
int write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;  // no progress, no errno
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

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

std::string refusal_text(const SpeedNotPositive& refusal) {
  return "speed must be above 0 wpm, not " + shortest(refusal.wpm);
}
std::string refusal_text(const SoundTooLong& refusal) {
  return std::to_string(refusal.units) + " Morse units at " + shortest(refusal.wpm) +
         " wpm make a sound too long for " + (refusal.wav ? "a WAV file" : "any file");
}
std::string refusal_text(const NothingToSend&) {
  return "nothing to send: the callsign is blank or starts with a blank";
}
std::string refusal_text(const DotShorterThanSample& refusal) {
  return "speed too high: a dot of " + rounded(refusal.dot_seconds * 1000) +
         " ms is shorter than one sample at " + shortest(refusal.sample_rate) + " Hz";
}
std::string refusal_text(const LevelTooLow& refusal) {
  return "option --volume: " + shortest(refusal.volume_db) + " dB is silence in " +
         std::string(encoding_name(refusal.encoding)) + " samples, which hold nothing below " +
         shortest(refusal.quietest_db) + " dB";
}
std::string refusal_text(const NoSampleSounds&) {
  return "the sound would hold no tone: at this tone, level, rate and ramp every sample rounds "
         "to silence";
}
std::string refusal_text(const ToneTooLow& refusal) {
  return "tone of " + rounded(refusal.tone_hz) +
         " Hz is too low: it moves no sample from silence in the whole sound";
}
std::string refusal_text(const CharacterSpeedBelowSpeed& refusal) {
  return "option --farnsworth: " + shortest(refusal.character_wpm) + " wpm is below the speed of " +
         shortest(refusal.wpm) + " wpm";
}
std::string refusal_text(const RampLongerThanDot& refusal) {
  return "option --ramp: " + shortest(refusal.ramp_ms) + " ms is longer than a dot of " +
         rounded(refusal.dot_ms) + " ms";
}
std::string refusal_text(const ToneNotBelowHalfRate& refusal) {
  return "tone of " + shortest(refusal.tone_hz) + " Hz must be below half the sample rate, " +
         shortest(refusal.half_rate_hz) + " Hz";
}

std::string text_file_reason(const TextFileError& error) {
  switch (error.kind) {
    case TextFileError::Kind::not_found:
      return "no such file";
    case TextFileError::Kind::access_denied:
      return "permission denied";
    case TextFileError::Kind::directory:
      return "it is a directory";
    case TextFileError::Kind::too_large:
      return "it holds more than " + std::to_string(kMaxTextFileSize >> 20) + " MiB";
    case TextFileError::Kind::read_failure:
      break;
  }
  return std::strerror(error.system_errno);
}

}  // namespace

Diagnostic describe(NumberError error) {
  return severe(number_message(error), kReadUnit, kReadFile);
}

Diagnostic describe(const UnknownSymbol& symbol) {
  const bool printable = symbol.code > ' ' && symbol.code < 0x7F;
  std::string shown = "code " + std::to_string(symbol.code);
  if (printable) shown = {'\'', static_cast<char>(symbol.code), '\''};
  return refused("callsign character " + shown + " at position " + std::to_string(symbol.position) +
                 " has no Morse code");
}

Diagnostic describe(const SoundRefusal& refusal) {
  return refused(std::visit([](const auto& reason) { return refusal_text(reason); }, refusal));
}

Diagnostic describe(const OptionError& error) {
  return refused(option_error_text(error));
}

Diagnostic describe(const MessageError& error) {
  return refused(message_error_text(error));
}

Diagnostic describe(const TextFileError& error, std::string_view name) {
  const std::string file = name == "-" ? "standard input" : "message file " + printable(name);
  return refused("cannot read " + file + ": " + text_file_reason(error));
}

Diagnostic describe(const FileError& error, std::string_view name) {
  Diagnostic d = severe(file_message(error.kind), kFileUnit, printable(display_path(name)));
  if (has_platform_line(error)) {
    d.lines = std::string(kPrefix) + std::strerror(error.system_errno) + "\n" + d.lines;
  }
  return d;
}

Diagnostic describe(const std::exception& e) {
  return refused(std::string("internal failure: ") + e.what());
}

int report(const Outcome& outcome) {
  std::optional<Diagnostic> failure = outcome.failure;
  if (const int err = write_all(STDOUT_FILENO, outcome.out); err != 0 && !failure) {
    failure = Diagnostic{std::string(kPrefix) + "severe: cannot write to standard output: " +
                             std::strerror(err) + "\n",
                         ExitStatus::standard_output_lost};
  }
  if (!failure) return status_number(ExitStatus::success);
  // With standard error closed the line is lost; the status still tells.
  write_all(STDERR_FILENO, failure->lines);
  return status_number(failure->status);
}

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
