#include "core/pipeline.h"

#include <algorithm>

#include "core/change_values.h"
#include "encode/gsm.h"
#include "keying/unit_length.h"
#include "morse/callsign.h"
#include "morse/message.h"
#include "practice/practice.h"
#include "render/conditions.h"
#include "sound/plan.h"
#include "sound/stream.h"

namespace zarn {
namespace {

Result<MorseUnits> encode(const Request& request) {
  switch (request.kind) {
    case Request::Text::callsign:
      return encode_callsign(request.text);
    case Request::Text::message:
      return encode_message(request.text, TextForm::one_line, request.letters);
    case Request::Text::lines:
      return encode_message(request.text, TextForm::lines, request.letters);
  }
  return InternalFailure{"unknown kind of text"};
}

// The other station's calls, enough to outlast the sound: its length
// reckoned from the units at the slowest speed the message takes, every unit
// as long as a word's share at that speed (which Farnsworth keeps), longer
// word gaps and the silences added; a call and its gap take 30 units or
// more.
Result<MorseUnits> qrm_units(const Request& request, const MorseUnits& units) {
  const SoundOptions& sound = request.sound;
  if (!sound.qrm_wpm) return MorseUnits{};
  double slowest = request.wpm;
  for (const InlineChange& change : units.changes) {
    if (change.kind == InlineChange::Kind::speed) slowest = std::min(slowest, change.value);
  }
  // A speed not above 0 is the plan's to refuse, in its own words.
  if (!(slowest > 0)) return MorseUnits{};
  const double seconds = static_cast<double>(units.units.size()) * kSecondsPerUnitAt1Wpm / slowest *
                             std::max(1.0, sound.word_gap_units / 7) +
                         (sound.lead_ms + sound.tail_ms) / 1000 + 1;
  constexpr double kUnitsPerCall = 30, kMostCalls = 200000;
  const double calls = std::min(seconds * *sound.qrm_wpm / 60 * 50 / kUnitsPerCall + 1, kMostCalls);
  PracticeSpec spec;
  spec.kind = PracticeSpec::Kind::calls;
  // Compared first, so the count converts exactly.
  spec.count = calls < kMostCalls ? static_cast<int>(calls) : static_cast<int>(kMostCalls);
  auto encoded = encode_message(make_practice(spec, qrm_seed(sound.seed)).text);
  if (!encoded) return InternalFailure{"the other station's calls have no code"};
  return *std::move(encoded);
}

}  // namespace

PlannedSound::PlannedSound(MorseUnits units, SoundPlan plan, MorseUnits qrm_units)
    : units_(std::move(units)), qrm_units_(std::move(qrm_units)), plan_(plan) {
  plan_.units = units_.units;
  plan_.changes = units_.changes;
  if (plan_.conditions && plan_.conditions->qrm) plan_.conditions->qrm->units = qrm_units_.units;
}

std::uint64_t PlannedSound::size() const {
  return static_cast<std::uint64_t>(plan_.format.file_size(plan_.sample_count));
}

Result<PlannedSound> plan_request(const Request& request) {
  // The command line refuses this pair as its options are read; a request
  // built by setters meets it here.
  if (request.sound.encoding == Encoding::gsm && request.sound.rate != kGsmRate) {
    return SettingError{"encoding", "gsm",
                        "an encoding that takes " + std::to_string(request.sound.rate) +
                            " Hz: gsm takes only " + std::to_string(kGsmRate)};
  }
  const auto& limit = request.limits.message_bytes;
  if (limit && request.text.size() > *limit) {
    return OverLimit{OverLimit::What::message_bytes, request.text.size(), *limit};
  }
  auto units = encode(request);
  if (!units) return std::move(units).error();
  if (auto refusal = check_change_values(units->changes)) return *refusal;
  auto qrm = qrm_units(request, *units);
  if (!qrm) return std::move(qrm).error();
  auto plan = plan_sound(request.sound, request.container, units->units, request.wpm, request.freq,
                         units->changes, qrm->units);
  if (!plan) return std::move(plan).error();
  PlannedSound sound(*std::move(units), *plan, *std::move(qrm));
  if (request.limits.sound_bytes && sound.size() > *request.limits.sound_bytes) {
    return OverLimit{OverLimit::What::sound_bytes, sound.size(), *request.limits.sound_bytes};
  }
  return sound;
}

Status write_sound(const PlannedSound& sound, Sink& sink, std::string_view name) {
  SoundStream stream(sound.plan());
  const auto failed = [&](const FileError& error) -> Status {
    return OutputFailure{error, std::string(name)};
  };
  if (auto opened = sink.open(name, stream.size()); !opened) return failed(opened.error());
  for (auto block = stream.next(); !block.empty(); block = stream.next()) {
    if (auto written = sink.write(block); !written) return failed(written.error());
  }
  if (auto closed = sink.close(); !closed) return failed(closed.error());
  return {};
}

}  // namespace zarn
