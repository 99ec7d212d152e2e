#include "core/pipeline.h"

#include <algorithm>

#include "core/change_values.h"
#include "encode/codec.h"
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
  PracticeSettings settings;
  settings.kind = PracticeSettings::Kind::calls;
  // Compared first, so the count converts exactly.
  settings.count = calls < kMostCalls ? static_cast<int>(calls) : static_cast<int>(kMostCalls);
  auto encoded = encode_message(make_practice(settings, qrm_seed(sound.seed)).text);
  if (!encoded) return InternalFailure{"the other station's calls have no code"};
  return *std::move(encoded);
}

// What the command line refuses as its options are read, for a request
// built by setters.
std::optional<Failure> refuse_codec_settings(const Request& request) {
  const SoundOptions& sound = request.sound;
  const std::string name(encoding_name(sound.encoding));
  if (sound.bitrate_kbps != 0 && !is_lossy(sound.encoding)) {
    return SettingError{"bitrate", std::to_string(sound.bitrate_kbps),
                        "a setting of mp3, vorbis or opus, not of " + name};
  }
  if (request.container == Container::raw && !request.tags.empty()) {
    return SettingError{"tag", "given", "a setting of a file with a container, not of raw samples"};
  }
  if (!is_coded(sound.encoding)) return std::nullopt;
  if (request.container == Container::raw) {
    return SettingError{"raw", "1",
                        "a setting of the PCM encodings: " + name + " has its own container"};
  }
  const auto refusal = codec_refusal(sound.encoding, sound.rate, sound.bitrate_kbps);
  if (!refusal) return std::nullopt;
  if (refusal->what == CodecRule::What::bitrate) {
    return SettingError{"bitrate", std::to_string(sound.bitrate_kbps), refusal->allowed};
  }
  return SettingError{"rate", std::to_string(sound.rate),
                      "a rate " + name + " takes: " + refusal->allowed};
}

}  // namespace

PlannedSound::PlannedSound(MorseUnits units, SoundPlan plan, MorseUnits qrm_units)
    : units_(std::move(units)), qrm_units_(std::move(qrm_units)), plan_(plan) {
  plan_.units = units_.units;
  plan_.changes = units_.changes;
  if (plan_.conditions && plan_.conditions->qrm) plan_.conditions->qrm->units = qrm_units_.units;
}

std::uint64_t PlannedSound::size() const {
  return planned_bytes(plan_);
}

Result<PlannedSound> plan_request(const Request& request) {
  // The command line refuses this pair as its options are read; a request
  // built by setters meets it here.
  if (request.sound.encoding == Encoding::gsm && request.sound.rate != kGsmRate) {
    return SettingError{"encoding", "gsm",
                        "an encoding that takes " + std::to_string(request.sound.rate) +
                            " Hz: gsm takes only " + std::to_string(kGsmRate)};
  }
  if (auto coded = refuse_codec_settings(request)) return *std::move(coded);
  if (request.split.any()) {
    return SettingError{"split", "given", "a setting of the command line, which writes the parts"};
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
  plan->tags = request.tags;
  PlannedSound sound(*std::move(units), *plan, *std::move(qrm));
  // The tags' chunk counts in the RIFF size too.
  constexpr std::uint64_t kRiffLimit = 0x7FFFFFFF;
  if (!is_coded(request.sound.encoding) && request.container == Container::wav &&
      sound.size() - 8 > kRiffLimit) {
    return SoundRefusal{
        SoundTooLong{static_cast<std::int64_t>(sound.plan().units.size()), request.wpm, true}};
  }
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
