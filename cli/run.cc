#include "cli/run.h"

#include <string>
#include <variant>

#include "cli/fields.h"
#include "cli/help.h"
#include "cli/number.h"
#include "cli/options.h"
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

// Both numbers are read before anything is encoded or written, so a
// malformed number never touches the output file.
std::variant<Numbers, NumberError> read_numbers(std::span<const std::string_view> positional) {
  Numbers numbers;
  if (const auto error = read_number(NumberField(positional[1]), numbers.wpm)) return *error;
  if (positional.size() >= 4) {
    if (const auto error = read_number(NumberField(positional[3]), numbers.freq)) return *error;
  }
  return numbers;
}

// A callsign is read from its field; a message is taken whole.
std::variant<MorseUnits, UnknownSymbol, MessageError> encode(std::string_view first, bool text) {
  if (text) {
    auto message = encode_message(first);
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
  const auto& positional = options.positional;
  const auto numbers = read_numbers(positional);
  if (auto* error = std::get_if<NumberError>(&numbers)) return stopped(describe(*error));

  const auto encoded = encode(positional[0], options.text);
  if (auto* unknown = std::get_if<UnknownSymbol>(&encoded)) return stopped(describe(*unknown));
  if (auto* error = std::get_if<MessageError>(&encoded)) return stopped(describe(*error));
  const auto& units = std::get<MorseUnits>(encoded);

  const Container container = options.raw ? Container::raw : Container::wav;
  const auto& [wpm, freq] = std::get<Numbers>(numbers);
  const auto plan = plan_sound(options.sound, container, units.units, wpm, freq);
  if (auto* refusal = std::get_if<SoundRefusal>(&plan)) return stopped(describe(*refusal));

  SoundStream stream(std::get<SoundPlan>(plan));
  const std::string_view name = trim_blanks(positional[2]);
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
  if (options.positional.size() < 3) return {.out = std::string(kUsage), .failure = std::nullopt};
  return make_sound(options, sink);
}

}  // namespace zarn
