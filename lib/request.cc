// The C interface's typed requests: one setter a setting, each checked as
// the command line checks the option of the same name.
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <span>
#include <string>
#include <string_view>

#include "args/draw_seed.h"
#include "args/practice_values.h"
#include "args/presets.h"
#include "args/tag_text.h"
#include "core/describe.h"
#include "core/text_file.h"
#include "core/value_rule.h"
#include "encode/codec.h"
#include "encode/gsm.h"
#include "keying/unit_length.h"
#include "lib/memory_render.h"
#include "practice/practice.h"
#include "zarn.h"

struct zarn_request {
  zarn::Request request;
  std::string error;
  // A practice set to send in place of the text; count 0 for none. Its
  // seed, drawn once if the caller gave none, so that the size, the render
  // and the stream of one request agree.
  zarn::PracticeSettings practice;
  std::optional<std::uint64_t> seed;
  std::optional<std::uint64_t> drawn_seed;
  std::string key;
};

namespace {

using zarn::ValueRule;

zarn_status status_of(const zarn::Failure& failure) {
  struct Visitor {
    zarn_status operator()(const zarn::SettingError&) const { return ZARN_BAD_VALUE; }
    zarn_status operator()(const zarn::OptionError&) const { return ZARN_BAD_VALUE; }
    zarn_status operator()(zarn::NumberError) const { return ZARN_BAD_VALUE; }
    zarn_status operator()(const zarn::TextFileError&) const { return ZARN_READ_FAILED; }
    zarn_status operator()(const zarn::OutOfMemory&) const { return ZARN_NO_MEMORY; }
    zarn_status operator()(const zarn::OverLimit&) const { return ZARN_TOO_LARGE; }
    zarn_status operator()(const zarn::StoppedByCaller&) const { return ZARN_STOPPED; }
    zarn_status operator()(const zarn::OutputFailure&) const { return ZARN_FAILED; }
    zarn_status operator()(const zarn::KeyFileFailure&) const { return ZARN_FAILED; }
    zarn_status operator()(const zarn::InternalFailure&) const { return ZARN_FAILED; }
    zarn_status operator()(const zarn::SplitRefusal&) const { return ZARN_BAD_VALUE; }
    // What cannot be sent, or cannot sound.
    zarn_status operator()(const zarn::UnknownSymbol&) const { return ZARN_REFUSED; }
    zarn_status operator()(const zarn::MessageError&) const { return ZARN_REFUSED; }
    zarn_status operator()(const zarn::SoundRefusal&) const { return ZARN_REFUSED; }
  };
  return std::visit(Visitor{}, failure.reason);
}

// The failure's words, without the line end a terminal needs.
zarn_status failed(zarn_request* request, const zarn::Failure& failure) {
  std::string words = zarn::describe(failure).lines;
  while (!words.empty() && words.back() == '\n') words.pop_back();
  request->error = std::move(words);
  return status_of(failure);
}

zarn_status ok(zarn_request* request) {
  request->error.clear();
  return ZARN_OK;
}

// Runs a setter or a render with its failures, exceptions too, turned into
// a status and words; nothing escapes into C.
template <class Step>
zarn_status guarded(zarn_request* request, Step&& step) {
  if (request == nullptr) return ZARN_BAD_ARGUMENT;
  try {
    zarn::Status done = step(request->request);
    return done ? ok(request) : failed(request, done.error());
  } catch (const std::bad_alloc&) {
    return failed(request, zarn::OutOfMemory{0});
  } catch (const std::exception& e) {
    return failed(request, zarn::failure_of(e));
  }
}

std::string number_text(double value) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", value);
  return buf;
}

zarn::Status bad(std::string_view setting, std::string value, std::string allowed) {
  return zarn::SettingError{std::string(setting), std::move(value), std::move(allowed)};
}

zarn::Status checked(std::string_view setting, const ValueRule& rule, double value) {
  if (zarn::accepts(rule, value)) return {};
  return bad(setting, number_text(value), zarn::allowed_text(rule));
}

// A number set into `field`: a double, or an optional one that a setting
// turns on (the character speed, the noise, the other station).
template <class Field>
zarn_status set_number(zarn_request* request, std::string_view setting, const ValueRule& rule,
                       double value, Field zarn::SoundOptions::*field) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    auto valid = checked(setting, rule, value);
    if (valid) r.sound.*field = value;
    return valid;
  });
}

// The command line reads numbers in single precision; so does the library,
// once the value is known to fit.
zarn::Status set_single(std::string_view setting, double value, float& out, bool above_zero) {
  if (!std::isfinite(value) || std::fabs(value) > FLT_MAX || (above_zero && !(value > 0))) {
    return bad(setting, number_text(value),
               above_zero ? "a number above 0" : "a finite number within single precision");
  }
  out = static_cast<float>(value);
  return {};
}

zarn::Status set_text(zarn_request* request, zarn::Request::Text kind, const char* text,
                      std::size_t length) {
  zarn::Request& r = request->request;
  if (text == nullptr) return bad("message", "NULL", "a text");
  if (const auto& limit = r.limits.message_bytes; limit && length > *limit) {
    return zarn::OverLimit{zarn::OverLimit::What::message_bytes, length, *limit};
  }
  r.text.assign(text, length);
  r.kind = kind;
  request->practice.count = 0;
  return {};
}

// The practice set, made into the request's message and its key, and the
// seed of both it and the band conditions, before a request is planned.
void apply_practice(zarn_request* request) {
  const bool drawing = request->practice.count > 0 || request->request.sound.has_conditions();
  if (!drawing) return;
  if (!request->seed && !request->drawn_seed) request->drawn_seed = zarn::draw_seed();
  request->request.sound.seed = request->seed.value_or(*request->drawn_seed);
  if (request->practice.count == 0) return;
  const auto set =
      zarn::make_practice(request->practice, request->seed.value_or(*request->drawn_seed));
  request->request.kind = zarn::Request::Text::message;
  request->request.text = set.text;
  request->key = zarn::key_text(set, request->seed ? std::nullopt : request->drawn_seed);
}

zarn::Status set_count(zarn_request* request, zarn::PracticeSettings::Kind kind,
                       std::string_view setting, long count) {
  const double value = static_cast<double>(count);
  auto valid = checked(setting, zarn::rules::kPracticeCount, value);
  if (!valid) return valid;
  // Within the range, so the count converts exactly.
  request->practice.kind = kind;
  request->practice.count = static_cast<int>(count);
  return {};
}

template <class Choices>
std::optional<std::size_t> index_of(const Choices& choices, const char* name) {
  if (name == nullptr) return std::nullopt;
  for (std::size_t i = 0; i < choices.size(); ++i) {
    if (choices[i] == name) return i;
  }
  return std::nullopt;
}

std::string name_text(const char* name) {
  return name == nullptr ? "NULL" : name;
}

}  // namespace

extern "C" zarn_request* zarn_request_new(void) {
  return new (std::nothrow) zarn_request{};
}

extern "C" void zarn_request_free(zarn_request* request) {
  delete request;
}

extern "C" const char* zarn_request_error(const zarn_request* request) {
  return request == nullptr ? "zarn: no request" : request->error.c_str();
}

extern "C" zarn_status zarn_request_set_callsign(zarn_request* request, const char* callsign) {
  return guarded(request, [&](zarn::Request&) {
    if (callsign == nullptr) return bad("callsign", "NULL", "a callsign");
    return set_text(request, zarn::Request::Text::callsign, callsign, std::strlen(callsign));
  });
}

extern "C" zarn_status zarn_request_set_message(zarn_request* request, const char* text,
                                                size_t length) {
  return guarded(request, [&](zarn::Request&) {
    return set_text(request, zarn::Request::Text::message, text, length);
  });
}

extern "C" zarn_status zarn_request_set_message_lines(zarn_request* request, const char* text,
                                                      size_t length) {
  return guarded(request, [&](zarn::Request&) {
    return set_text(request, zarn::Request::Text::lines, text, length);
  });
}

extern "C" zarn_status zarn_request_set_message_file(zarn_request* request, const char* path) {
  return guarded(request, [&](zarn::Request&) -> zarn::Status {
    if (path == nullptr) return bad("message file", "NULL", "a path");
    auto text = zarn::read_text_file(path);
    if (!text) return std::move(text).error();
    return set_text(request, zarn::Request::Text::lines, text->data(), text->size());
  });
}

extern "C" zarn_status zarn_request_set_wpm(zarn_request* request, double wpm) {
  return guarded(request, [&](zarn::Request& r) {
    r.sound.dot_seconds.reset();  // the speed set last counts
    return set_single("wpm", wpm, r.wpm, true);
  });
}

extern "C" zarn_status zarn_request_set_tone_hz(zarn_request* request, double hz) {
  return guarded(request, [&](zarn::Request& r) { return set_single("tone", hz, r.freq, false); });
}

extern "C" zarn_status zarn_request_set_rate(zarn_request* request, long hz) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    const double value = static_cast<double>(hz);
    auto valid = checked("rate", zarn::rules::kRate, value);
    // Within the range, so the rate converts exactly.
    if (valid) r.sound.rate = static_cast<int>(hz);
    return valid;
  });
}

namespace {

// "an encoding of this build: u8, s16, ulaw, alaw".
std::string built_encodings_text() {
  std::string text = "an encoding of this build:";
  for (std::size_t i = 0; i < zarn::kEncodingNames.size(); ++i) {
    if (!zarn::encoding_built(static_cast<zarn::Encoding>(i))) continue;
    text += (text.back() == ':' ? " " : ", ") + std::string(zarn::kEncodingNames[i]);
  }
  return text;
}

}  // namespace

extern "C" zarn_status zarn_request_set_encoding(zarn_request* request, const char* name) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    const auto index = index_of(zarn::kEncodingNames, name);
    if (!index) {
      return bad("encoding", name_text(name),
                 "one of " + zarn::choices_text(zarn::kEncodingNames, ", "));
    }
    const auto encoding = static_cast<zarn::Encoding>(*index);
    if (encoding == zarn::Encoding::gsm && !zarn::kGsmCoderBuilt) {
      return bad("encoding", name, "an encoding of this build, which has no GSM");
    }
    if (!zarn::encoding_built(encoding)) return bad("encoding", name, built_encodings_text());
    r.sound.encoding = encoding;
    // As the command line without -r: the rate the codec suits.
    if (zarn::is_coded(encoding)) r.sound.rate = zarn::default_rate(encoding);
    return {};
  });
}

extern "C" zarn_status zarn_request_set_bitrate(zarn_request* request, long kbps) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    const double value = static_cast<double>(kbps);
    auto valid = kbps == 0 ? zarn::Status{} : checked("bitrate", zarn::rules::kBitrate, value);
    // Within the range, so the bitrate converts exactly.
    if (valid) r.sound.bitrate_kbps = static_cast<int>(kbps);
    return valid;
  });
}

extern "C" zarn_status zarn_request_set_tag(zarn_request* request, const char* name,
                                            const char* text) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    const std::string_view field = name == nullptr ? "" : name;
    std::string* tag = field == "title"     ? &r.tags.title
                       : field == "artist"  ? &r.tags.artist
                       : field == "album"   ? &r.tags.album
                       : field == "track"   ? &r.tags.track
                       : field == "comment" ? &r.tags.comment
                                            : nullptr;
    if (tag == nullptr) {
      return bad("tag", name_text(name), "title, artist, album, track or comment");
    }
    if (text == nullptr) return bad("tag", "NULL", "UTF-8 text");
    if (!zarn::is_tag_text(text)) {
      return bad("tag " + std::string(field), "the text given",
                 std::string(zarn::rules::kTag.form));
    }
    *tag = text;
    return {};
  });
}

extern "C" zarn_status zarn_request_set_container(zarn_request* request, const char* name) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    const std::string_view given = name == nullptr ? "" : name;
    if (given == "wav" || given == "raw") {
      r.container = given == "wav" ? zarn::Container::wav : zarn::Container::raw;
      return {};
    }
    return bad("container", name_text(name), "wav or raw");
  });
}

extern "C" zarn_status zarn_request_set_ramp_ms(zarn_request* request, double ms) {
  return set_number(request, "ramp", zarn::rules::kRamp, ms, &zarn::SoundOptions::ramp_ms);
}

extern "C" zarn_status zarn_request_set_character_wpm(zarn_request* request, double wpm) {
  return set_number(request, "character speed", zarn::rules::kCharacterSpeed, wpm,
                    &zarn::SoundOptions::farnsworth_wpm);
}

extern "C" zarn_status zarn_request_set_word_gap(zarn_request* request, double units) {
  return set_number(request, "word gap", zarn::rules::kWordGap, units,
                    &zarn::SoundOptions::word_gap_units);
}

extern "C" zarn_status zarn_request_set_volume_db(zarn_request* request, double db) {
  return set_number(request, "volume", zarn::rules::kVolume, db, &zarn::SoundOptions::volume_db);
}

extern "C" zarn_status zarn_request_set_lead_ms(zarn_request* request, double ms) {
  return set_number(request, "lead", zarn::rules::kSilence, ms, &zarn::SoundOptions::lead_ms);
}

extern "C" zarn_status zarn_request_set_tail_ms(zarn_request* request, double ms) {
  return set_number(request, "tail", zarn::rules::kSilence, ms, &zarn::SoundOptions::tail_ms);
}

extern "C" zarn_status zarn_request_set_noise_db(zarn_request* request, double snr_db) {
  return set_number(request, "noise", zarn::rules::kNoise, snr_db,
                    &zarn::SoundOptions::noise_snr_db);
}

extern "C" zarn_status zarn_request_set_bandwidth_hz(zarn_request* request, double hz) {
  return set_number(request, "bandwidth", zarn::rules::kBandwidth, hz,
                    &zarn::SoundOptions::bandwidth_hz);
}

extern "C" zarn_status zarn_request_set_qsb_db(zarn_request* request, double depth_db) {
  return set_number(request, "qsb", zarn::rules::kQsbDepth, depth_db,
                    &zarn::SoundOptions::qsb_depth_db);
}

extern "C" zarn_status zarn_request_set_qsb_rate_hz(zarn_request* request, double hz) {
  return set_number(request, "qsb rate", zarn::rules::kQsbRate, hz,
                    &zarn::SoundOptions::qsb_rate_hz);
}

extern "C" zarn_status zarn_request_set_qrm_wpm(zarn_request* request, double wpm) {
  return set_number(request, "qrm", zarn::rules::kQrm, wpm, &zarn::SoundOptions::qrm_wpm);
}

extern "C" zarn_status zarn_request_set_dot_seconds(zarn_request* request, double seconds) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    auto valid = checked("dot", zarn::rules::kDot, seconds);
    if (!valid) return valid;
    r.sound.dot_seconds = seconds;
    // The range keeps the speed within a float.
    r.wpm = static_cast<float>(zarn::kSecondsPerUnitAt1Wpm / seconds);
    return {};
  });
}

extern "C" zarn_status zarn_request_set_mode(zarn_request* request, const char* name) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    const std::span<const std::string_view> modes = zarn::rules::kModeNames;
    const auto index = index_of(modes, name);
    if (!index) {
      return bad("mode", name_text(name), "one of " + zarn::choices_text(modes, ", "));
    }
    r.sound.mode = static_cast<zarn::KeyMode>(*index);
    return {};
  });
}

extern "C" zarn_status zarn_request_set_shift_hz(zarn_request* request, double hz) {
  return set_number(request, "shift", zarn::rules::kShift, hz, &zarn::SoundOptions::shift_hz);
}

extern "C" zarn_status zarn_request_set_element_gap(zarn_request* request, double dots) {
  return set_number(request, "element gap", zarn::rules::kElementGap, dots,
                    &zarn::SoundOptions::element_gap_dots);
}

extern "C" zarn_status zarn_request_set_carrier_seconds(zarn_request* request, double seconds) {
  return set_number(request, "carrier", zarn::rules::kCarrier, seconds,
                    &zarn::SoundOptions::carrier_seconds);
}

extern "C" zarn_status zarn_request_set_carrier_first(zarn_request* request, int first) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    r.sound.carrier_first = first != 0;
    return {};
  });
}

extern "C" zarn_status zarn_request_set_repeat(zarn_request* request, long copies) {
  return set_number(request, "repeat", zarn::rules::kRepeat, static_cast<double>(copies),
                    &zarn::SoundOptions::repeats);
}

extern "C" zarn_status zarn_request_set_repeat_gap_seconds(zarn_request* request, double seconds) {
  return set_number(request, "gap", zarn::rules::kRepeatGap, seconds,
                    &zarn::SoundOptions::repeat_gap_seconds);
}

extern "C" zarn_status zarn_request_set_preset(zarn_request* request, const char* name) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    const auto index = index_of(zarn::preset_names(), name);
    if (!index) {
      return bad("preset", name_text(name),
                 "one of " + zarn::choices_text(zarn::preset_names(), ", "));
    }
    zarn::apply_preset(zarn::presets()[*index], r.sound, r.container);
    return {};
  });
}

namespace {

zarn_status set_letters(zarn_request* request, bool zarn::LetterChoice::*field, int on) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    r.letters.*field = on != 0;
    return {};
  });
}

}  // namespace

extern "C" zarn_status zarn_request_set_ch(zarn_request* request, int on) {
  return set_letters(request, &zarn::LetterChoice::ch, on);
}

extern "C" zarn_status zarn_request_set_fold(zarn_request* request, int on) {
  return set_letters(request, &zarn::LetterChoice::fold, on);
}

extern "C" zarn_status zarn_request_set_ukrainian(zarn_request* request, int on) {
  return set_letters(request, &zarn::LetterChoice::ukrainian, on);
}

extern "C" zarn_status zarn_request_set_persian(zarn_request* request, int on) {
  return set_letters(request, &zarn::LetterChoice::persian, on);
}

extern "C" zarn_status zarn_request_set_max_bytes(zarn_request* request, uint64_t bytes) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    r.limits.sound_bytes = bytes == 0 ? std::nullopt : std::optional<std::uint64_t>(bytes);
    return {};
  });
}

extern "C" zarn_status zarn_request_set_max_message_bytes(zarn_request* request, uint64_t bytes) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    r.limits.message_bytes = bytes == 0 ? std::nullopt : std::optional<std::uint64_t>(bytes);
    return {};
  });
}

extern "C" zarn_status zarn_request_size(zarn_request* request, uint64_t* bytes) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    if (bytes == nullptr) return bad("size", "NULL", "a place for the size");
    apply_practice(request);
    auto sound = zarn::plan_request(r);
    if (!sound) return std::move(sound).error();
    *bytes = sound->size();
    return {};
  });
}

extern "C" zarn_status zarn_request_render(zarn_request* request, zarn_buffer* out) {
  if (out != nullptr) *out = {.bytes = nullptr, .size = 0};
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    if (out == nullptr) return bad("buffer", "NULL", "a buffer to fill");
    apply_practice(request);
    auto sound = zarn::plan_request(r);
    if (!sound) return std::move(sound).error();
    auto bytes = zarn::render_to_memory(*sound);
    if (!bytes) return std::move(bytes).error();
    *out = {.bytes = bytes->data(), .size = bytes->size()};
    return {};
  });
}

extern "C" void zarn_buffer_free(zarn_buffer* buffer) {
  if (buffer == nullptr) return;
  std::free(buffer->bytes);
  *buffer = {.bytes = nullptr, .size = 0};
}

extern "C" zarn_status zarn_request_stream(zarn_request* request, zarn_write_fn write,
                                           void* context) {
  return guarded(request, [&](zarn::Request& r) -> zarn::Status {
    if (write == nullptr) return bad("writer", "NULL", "a write function");
    apply_practice(request);
    auto sound = zarn::plan_request(r);
    if (!sound) return std::move(sound).error();
    return zarn::render_to_callback(*sound, write, context);
  });
}

extern "C" zarn_status zarn_request_set_groups(zarn_request* request, long count) {
  return guarded(request, [&](zarn::Request&) {
    return set_count(request, zarn::PracticeSettings::Kind::groups, "groups", count);
  });
}

extern "C" zarn_status zarn_request_set_calls(zarn_request* request, long count) {
  return guarded(request, [&](zarn::Request&) {
    return set_count(request, zarn::PracticeSettings::Kind::calls, "calls", count);
  });
}

extern "C" zarn_status zarn_request_set_group_size(zarn_request* request, long min, long max) {
  return guarded(request, [&](zarn::Request&) -> zarn::Status {
    if (min < 1 || max > zarn::rules::kLongestGroup || min > max) {
      return bad("group size", std::to_string(min) + "-" + std::to_string(max),
                 std::string(zarn::rules::kGroupSize.form));
    }
    // Within 1..kLongestGroup, so both convert exactly.
    request->practice.size_min = static_cast<int>(min);
    request->practice.size_max = static_cast<int>(max);
    return {};
  });
}

extern "C" zarn_status zarn_request_set_charset(zarn_request* request, const char* chars) {
  return guarded(request, [&](zarn::Request&) -> zarn::Status {
    auto set = chars == nullptr ? std::nullopt : zarn::read_charset(chars);
    if (!set || set->empty()) {
      return bad("charset", name_text(chars), std::string(zarn::rules::kCharset.form));
    }
    request->practice.charset = *std::move(set);
    request->practice.koch_lesson = 0;
    return {};
  });
}

extern "C" zarn_status zarn_request_set_koch_lesson(zarn_request* request, long lesson) {
  return guarded(request, [&](zarn::Request&) -> zarn::Status {
    auto valid = checked("koch lesson", zarn::rules::kKochLesson, static_cast<double>(lesson));
    if (!valid) return valid;
    // Within the range, so the lesson converts exactly.
    request->practice.koch_lesson = static_cast<int>(lesson);
    request->practice.charset.clear();
    return {};
  });
}

extern "C" zarn_status zarn_request_set_frame(zarn_request* request, int frame) {
  return guarded(request, [&](zarn::Request&) -> zarn::Status {
    request->practice.frame = frame != 0;
    return {};
  });
}

extern "C" zarn_status zarn_request_set_seed(zarn_request* request, uint64_t seed) {
  return guarded(request, [&](zarn::Request&) -> zarn::Status {
    request->seed = seed;
    return {};
  });
}

extern "C" const char* zarn_request_key(const zarn_request* request) {
  if (request == nullptr || request->practice.count == 0) return "";
  return request->key.c_str();
}
