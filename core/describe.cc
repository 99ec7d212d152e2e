#include "core/describe.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <utility>

#include "core/input_error_text.h"
#include "core/printable.h"
#include "core/text_file.h"
#include "output/display_path.h"

namespace zarn {
namespace {

constexpr std::string_view kPrefix = "zarn: ";

// Number reading happens on this unit with this name.
constexpr int kReadUnit = -5;
constexpr std::string_view kReadFile = "Internal List-Directed Read";
// The output file's unit.
constexpr int kFileUnit = 12;

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
std::string refusal_text(const KeyUpToneNotAboveZero& refusal) {
  return "option --shift: " + shortest(refusal.shift_hz) + " Hz below the tone of " +
         shortest(refusal.tone_hz) + " Hz is not above 0 Hz";
}
std::string refusal_text(const InlineChangeRefused& refusal) {
  const InlineChange& change = refusal.change;
  const std::string where = change.line == 0 ? "position " + std::to_string(change.position)
                                             : "line " + std::to_string(change.line) + ", column " +
                                                   std::to_string(change.column);
  return "message change '|" + std::string(1, static_cast<char>(change.kind)) +
         shortest(change.value) + "' at " + where + ": " + refusal.why;
}
std::string refusal_text(const DoesNotApply& refusal) {
  return "option --" + std::string(refusal.option) + " does not apply " + refusal.context;
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

Diagnostic describe_reason(NumberError error) {
  return severe(number_message(error), kReadUnit, kReadFile);
}

Diagnostic describe_reason(const UnknownSymbol& symbol) {
  const bool printable = symbol.code > ' ' && symbol.code < 0x7F;
  std::string shown = "code " + std::to_string(symbol.code);
  if (printable) shown = {'\'', static_cast<char>(symbol.code), '\''};
  return refused("callsign character " + shown + " at position " + std::to_string(symbol.position) +
                 " has no Morse code");
}

Diagnostic describe_reason(const SoundRefusal& refusal) {
  return refused(std::visit([](const auto& reason) { return refusal_text(reason); }, refusal));
}

Diagnostic describe_reason(const OptionError& error) {
  return refused(option_error_text(error));
}

Diagnostic describe_reason(const MessageError& error) {
  return refused(message_error_text(error));
}

Diagnostic describe_reason(const TextFileError& error) {
  const std::string file =
      error.name == "-" ? "standard input" : "message file " + printable(error.name);
  return refused("cannot read " + file + ": " + text_file_reason(error));
}

Diagnostic describe_reason(const OutputFailure& failure) {
  const FileError& error = failure.error;
  Diagnostic d = severe(file_message(error.kind), kFileUnit, printable(display_path(failure.name)));
  if (has_platform_line(error)) {
    d.lines = std::string(kPrefix) + std::strerror(error.system_errno) + "\n" + d.lines;
  }
  return d;
}

Diagnostic describe_reason(const KeyFileFailure& failure) {
  const std::string file =
      failure.name == "-" ? "standard output" : "key file " + printable(display_path(failure.name));
  return refused("cannot write " + file + ": " + std::strerror(failure.system_errno));
}

Diagnostic describe_reason(const SettingError& error) {
  return refused("setting " + error.setting + ": " + printable(error.value) + " is not " +
                 error.allowed);
}

Diagnostic describe_reason(const OutOfMemory& failure) {
  if (failure.bytes == 0) return refused("not enough memory to make the sound");
  return refused("not enough memory for a sound of " + std::to_string(failure.bytes) + " bytes");
}

Diagnostic describe_reason(const OverLimit& failure) {
  const bool sound = failure.what == OverLimit::What::sound_bytes;
  return refused(std::string(sound ? "the sound" : "the message") + " would be " +
                 std::to_string(failure.size) + " bytes, above the limit of " +
                 std::to_string(failure.limit) + " bytes");
}

Diagnostic describe_reason(const StoppedByCaller&) {
  return refused("stopped: the caller's writer asked to stop");
}

Diagnostic describe_reason(const SplitRefusal& failure) {
  if (failure.kind == SplitRefusal::Kind::no_file_name) {
    return refused(
        "a split needs a file name to number the parts from, not a descriptor or a device");
  }
  return refused("the split would make " + std::to_string(failure.count) +
                 " parts, more than the 999 that part numbers hold");
}

Diagnostic describe_reason(const InternalFailure& failure) {
  return refused("internal failure: " + failure.what);
}

}  // namespace

Diagnostic describe(const Failure& failure) {
  return std::visit([](const auto& reason) { return describe_reason(reason); }, failure.reason);
}

Failure failure_of(const std::exception& e) {
  return InternalFailure{e.what()};
}

}  // namespace zarn
