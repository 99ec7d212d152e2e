#include "core/pipeline.h"

#include "encode/codec.h"
#include "encode/gsm.h"
#include "morse/callsign.h"
#include "morse/message.h"
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

PlannedSound::PlannedSound(MorseUnits units, SoundPlan plan)
    : units_(std::move(units)), plan_(plan) {
  plan_.units = units_.units;
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
  auto plan = plan_sound(request.sound, request.container, units->units, request.wpm, request.freq);
  if (!plan) return std::move(plan).error();
  plan->tags = request.tags;
  PlannedSound sound(*std::move(units), *plan);
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
