#include "cli/run.h"

#include <string>
#include <variant>

#include "cli/fields.h"
#include "cli/help.h"
#include "cli/number.h"
#include "cli/options.h"
#include "cli/text_file.h"
#include "morse/callsign.h"
#include "morse/message.h"
#include "sound/plan.h"
#include "sound/stream.h"

namespace zarn {
namespace {

Outcome stopped(Diagnostic diagnostic) {
  return {.out = {}, .failure = std::move(diagnostic)};
}

struct Numbers {
  float wpm = 0;
  float freq = 0;
};

// The arguments after the message: <wpm> <filename> [<freq>]. With
// --text-file there is no <callsign> before them.
std::span<const std::string_view> after_message(const Options& options) {
  return std::span(options.positional).subspan(options.text_file ? 0 : 1);
}

// Both numbers are read before anything is encoded or written, so a
// malformed number never touches the output file.
std::variant<Numbers, NumberError> read_numbers(std::span<const std::string_view> arguments) {
  Numbers numbers;
  if (const auto error = read_number(NumberField(arguments[0]), numbers.wpm)) return *error;
  if (arguments.size() >= 3) {
    if (const auto error = read_number(NumberField(arguments[2]), numbers.freq)) return *error;
  }
  return numbers;
}

// A callsign is read from its field; a message is taken whole, a file's as
// lines.
std::variant<MorseUnits, UnknownSymbol, MessageError> encode(std::string_view first,
                                                             const Options& options) {
  if (options.text || options.text_file) {
    const TextForm form = options.text_file ? TextForm::lines : TextForm::one_line;
    auto message = encode_message(first, form, options.letters);
    if (auto* error = std::get_if<MessageError>(&message)) return *error;
    return std::get<MorseUnits>(std::move(message));
  }
  MorseUnits units;
  if (const auto unknown = encode_callsign(CallsignField(first).view(), units)) return *unknown;
  return units;
}

// Opens the output, writes the stream and closes it; the first failure
// stops. The stream has made its allocations before the output is touched.
std::optional<FileError> write_output(std::string_view name, SoundStream& stream, Sink& sink) {
  if (auto failure = sink.open(name, stream.size())) return failure;
  for (auto block = stream.next(); !block.empty(); block = stream.next()) {
    if (auto failure = sink.write(block)) return failure;
  }
  return sink.close();
}

Outcome make_sound(const Options& options, Sink& sink) {
  const auto arguments = after_message(options);
  const auto numbers = read_numbers(arguments);
  if (auto* error = std::get_if<NumberError>(&numbers)) return stopped(describe(*error));

  // Read whole before the output is opened, so a file that cannot be read
  // leaves it untouched.
  std::string file_text;
  if (options.text_file) {
    auto read = read_text_file(*options.text_file);
    if (auto* error = std::get_if<TextFileError>(&read)) {
      return stopped(describe(*error, *options.text_file));
    }
    file_text = std::get<std::string>(std::move(read));
  }
  const std::string_view message = options.text_file ? file_text : options.positional[0];
  const auto encoded = encode(message, options);
  if (auto* unknown = std::get_if<UnknownSymbol>(&encoded)) return stopped(describe(*unknown));
  if (auto* error = std::get_if<MessageError>(&encoded)) return stopped(describe(*error));
  const auto& units = std::get<MorseUnits>(encoded);

  const Container container = options.raw ? Container::raw : Container::wav;
  const auto& [wpm, freq] = std::get<Numbers>(numbers);
  const auto plan = plan_sound(options.sound, container, units.units, wpm, freq);
  if (auto* refusal = std::get_if<SoundRefusal>(&plan)) return stopped(describe(*refusal));

  SoundStream stream(std::get<SoundPlan>(plan));
  const std::string_view name = trim_blanks(arguments[1]);
  if (const auto failure = write_output(name, stream, sink)) {
    return stopped(describe(*failure, name));
  }
  return {};
}

}  // namespace

Outcome run(std::span<const std::string_view> args, Sink& sink) {
  const auto read = read_options(args);
  if (auto* error = std::get_if<OptionError>(&read)) return stopped(describe(*error));
  const auto& options = std::get<Options>(read);
  if (options.help) return {.out = std::string(help_text()), .failure = std::nullopt};
  if (options.version) return {.out = std::string(version_text()), .failure = std::nullopt};
  if (options.positional.size() < (options.text_file ? 2u : 3u)) {
    return {.out = std::string(kUsage), .failure = std::nullopt};
  }
  return make_sound(options, sink);
}

}  // namespace zarn
