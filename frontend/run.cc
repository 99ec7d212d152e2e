#include <variant>

#include "frontend/frontend.h"

namespace zarn {
namespace {

Outcome stopped(Diagnostic diagnostic) {
  return {.usage = false, .failure = std::move(diagnostic)};
}

}  // namespace

Outcome zarn(std::span<const std::string_view> args, Sink& sink) {
  if (args.size() < 3) return {.usage = true, .failure = std::nullopt};

  // Both numbers are read before anything is encoded or written, so a
  // malformed number never touches the output file.
  const CallsignField callsign(args[0]);
  float wpm = 0;
  if (const auto error = read_real(NumberField(args[1]), wpm)) return stopped(describe(*error));
  const FilenameField filename(args[2]);
  float freq = 0;
  if (args.size() >= 4) {
    if (const auto error = read_real(NumberField(args[3]), freq)) return stopped(describe(*error));
  }

  Elements elements;
  if (const auto unknown = morse(callsign.view(), elements)) return stopped(describe(*unknown));
  if (const auto failure = genzarn(wpm, elements, freq, filename.view(), sink)) {
    return stopped(std::visit([](const auto& f) { return describe(f); }, *failure));
  }
  return {};
}

}  // namespace zarn
