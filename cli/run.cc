#include "cli/run.h"

#include <string>

#include "audio/write_wav.h"
#include "cli/fields.h"
#include "cli/number.h"
#include "morse/encoder.h"

namespace zarn {
namespace {

Outcome stopped(Diagnostic diagnostic) {
  return {.out = {}, .failure = std::move(diagnostic)};
}

// Opens the output, writes the sound and closes it; the first failure stops.
std::optional<FileError> write_output(std::string_view name, const TonePlan& plan,
                                      const MorseUnits& units, Sink& sink) {
  if (auto failure = sink.open(name, wav_size(plan))) return failure;
  if (auto failure = write_wav(plan, units.used(), sink)) return failure;
  return sink.close();
}

}  // namespace

Outcome run(std::span<const std::string_view> args, Sink& sink) {
  if (args.size() < 3) return {.out = std::string(kUsage), .failure = std::nullopt};

  // Both numbers are read before anything is encoded or written, so a
  // malformed number never touches the output file.
  const CallsignField callsign(args[0]);
  float wpm = 0;
  if (const auto error = read_number(NumberField(args[1]), wpm)) return stopped(describe(*error));
  float freq = 0;
  if (args.size() >= 4) {
    if (const auto error = read_number(NumberField(args[3]), freq)) {
      return stopped(describe(*error));
    }
  }

  MorseUnits units;
  if (const auto unknown = encode_morse(callsign.view(), units)) {
    return stopped(describe(*unknown));
  }
  const auto plan = plan_tone(wpm, freq, units.count());
  if (const auto* refusal = std::get_if<ToneRefusal>(&plan)) return stopped(describe(*refusal));
  const std::string_view name = trim_blanks(args[2]);
  if (const auto failure = write_output(name, std::get<TonePlan>(plan), units, sink)) {
    return stopped(describe(*failure, name));
  }
  return {};
}

}  // namespace zarn
