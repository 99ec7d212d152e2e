#include "args/options.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "args/option_table.h"
#include "args/practice_values.h"
#include "args/presets.h"
#include "args/tag_text.h"
#include "encode/codec.h"

namespace zarn {
namespace {

using Definition = OptionDefinition;
using Name = OptionName;

// An argument that names one of the options.
struct Named {
  const Definition* definition;
  std::string_view written;                  // "--rate" or "-r"
  std::optional<std::string_view> attached;  // "8000" of "--rate=8000" or "-r8000"
};

std::optional<Named> name_long(std::string_view arg) {
  const auto equals = arg.find('=');
  const std::string_view written = arg.substr(0, equals);
  for (const Definition& definition : option_table()) {
    if (written.substr(2) != definition.long_name) continue;
    if (equals == std::string_view::npos) return Named{&definition, written, std::nullopt};
    return Named{&definition, written, arg.substr(equals + 1)};
  }
  return std::nullopt;
}

// Whatever follows the letter is the value; for a flag that is an error
// (-hV), as short flags are not grouped.
std::optional<Named> name_short(std::string_view arg) {
  for (const Definition& definition : option_table()) {
    if (definition.short_name == '\0' || arg[1] != definition.short_name) continue;
    if (arg.size() == 2) return Named{&definition, arg, std::nullopt};
    return Named{&definition, arg.substr(0, 2), arg.substr(2)};
  }
  return std::nullopt;
}

// Which option `arg` names, if any. A number never does: after its '-' comes
// a digit or a point, and no short option is a digit or a point.
std::optional<Named> name_option(std::string_view arg) {
  if (arg.starts_with("--")) return arg.size() > 2 ? name_long(arg) : std::nullopt;
  if (arg.size() >= 2 && arg[0] == '-') return name_short(arg);
  return std::nullopt;
}

OptionError error(OptionError::Kind kind, std::string_view option, std::string_view value = {},
                  std::string_view allowed = {}) {
  return {kind, std::string(option), std::string(value), std::string(allowed)};
}

OptionError unknown_option(std::string_view arg) {
  if (!arg.starts_with("--")) return error(OptionError::Kind::unknown_option, arg);
  const auto equals = arg.find('=');
  const std::string_view value = equals == std::string_view::npos ? "" : arg.substr(equals + 1);
  return error(OptionError::Kind::unknown_option, arg.substr(0, equals), value);
}

// The whole text as a finite real number. The character check keeps out
// blanks (which strtod would skip), hexadecimal, infinity and NaN. The tool
// never changes the C locale, so the point is '.'.
std::optional<double> real_number(std::string_view text) {
  if (text.empty() || text.find_first_not_of("0123456789+-.eE") != std::string_view::npos) {
    return std::nullopt;
  }
  const std::string terminated(text);
  char* end = nullptr;
  const double value = std::strtod(terminated.c_str(), &end);
  if (end != terminated.c_str() + terminated.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// A number in any form the manual allows for values (8e3, +8000, 8000.0 for
// a whole one), checked against the range before it is used.
std::optional<double> number_in(std::string_view text, const ValueRule& rule) {
  const auto value = real_number(text);
  if (!value || !accepts(rule, *value)) return std::nullopt;
  return value;
}

std::optional<std::size_t> choice_in(std::string_view text, const ValueRule& rule) {
  for (std::size_t i = 0; i < rule.choices.size(); ++i) {
    if (text == rule.choices[i]) return i;
  }
  return std::nullopt;
}

// A value as its option's rule reads it.
struct Value {
  double number = 0;
  std::size_t choice = 0;
  std::string_view text = {};
};

std::optional<Value> read_value(std::string_view text, const ValueRule& rule) {
  switch (rule.kind) {
    case ValueRule::Kind::whole:
    case ValueRule::Kind::number:
      if (const auto number = number_in(text, rule)) return Value{.number = *number, .text = text};
      return std::nullopt;
    case ValueRule::Kind::choice:
      if (const auto choice = choice_in(text, rule)) return Value{.choice = *choice};
      return std::nullopt;
    case ValueRule::Kind::none:
    case ValueRule::Kind::text:
      break;
  }
  return Value{.text = text};
}

// An option as written, and its value, for the checks after the last one.
struct Written {
  std::string_view option;
  std::string_view value;
  bool given() const { return !option.empty(); }
};

// The options read so far, and which option as written set what the checks
// after the last one need to name.
struct Reading {
  Options options;
  std::string_view encoding_by;
  std::string_view rate_by;  // only when written after encoding_by
  bool rate_given = false;   // by -r anywhere, or a preset
  std::string_view raw_by;
  std::string_view tag_by;  // the last tag option
  std::string_view split_by;
  Written bitrate;
  std::string_view text_by;
  std::string_view text_file_by;
  Written groups, calls, koch, charset, group_size, frame, key, seed;
};

// The practice options' values that are not plain numbers; false for one
// that its rule's words refuse.
bool set_practice_text(OptionName name, std::string_view text, Options& options) {
  PracticeSettings& practice = options.practice;
  switch (name) {
    case Name::group_size:
      if (const auto size = read_group_size(text)) {
        practice.size_min = size->min;
        practice.size_max = size->max;
        return true;
      }
      return false;
    case Name::charset:
      if (auto set = read_charset(text)) practice.charset = *std::move(set);
      return !practice.charset.empty();
    case Name::seed:
      options.seed = read_seed(text);
      return options.seed.has_value();
    default:
      options.key_file = text;
      return true;
  }
}

// Which of the practice options as written a check may name.
Written* practice_written(OptionName name, Reading& reading) {
  switch (name) {
    case Name::groups:
      return &reading.groups;
    case Name::calls:
      return &reading.calls;
    case Name::koch:
      return &reading.koch;
    case Name::charset:
      return &reading.charset;
    case Name::group_size:
      return &reading.group_size;
    case Name::frame:
      return &reading.frame;
    case Name::key:
      return &reading.key;
    case Name::seed:
      return &reading.seed;
    default:
      return nullptr;
  }
}

// False when the value, read as text, is not what the option takes.
bool set_practice_option(const Named& named, const Value& value, Reading& reading) {
  const OptionName name = named.definition->name;
  PracticeSettings& practice = reading.options.practice;
  // The range check came first, so the counts convert exactly.
  switch (name) {
    case Name::groups:
    case Name::calls:
      practice.kind =
          name == Name::calls ? PracticeSettings::Kind::calls : PracticeSettings::Kind::groups;
      practice.count = static_cast<int>(value.number);
      break;
    case Name::koch:
      practice.koch_lesson = static_cast<int>(value.number);
      break;
    case Name::frame:
      practice.frame = true;
      break;
    default:
      if (!set_practice_text(name, value.text, reading.options)) return false;
      break;
  }
  *practice_written(name, reading) = {named.written, value.text};
  return true;
}

// False for a tag that is not UTF-8, or too long for every tag form.
bool set_tag(OptionName name, std::string_view text, Tags& tags) {
  if (!is_tag_text(text)) return false;
  std::string* field = name == Name::title    ? &tags.title
                       : name == Name::artist ? &tags.artist
                       : name == Name::album  ? &tags.album
                       : name == Name::track  ? &tags.track
                                              : &tags.comment;
  *field = text;
  return true;
}

bool set_option(const Named& named, const Value& value, Reading& reading) {
  Options& options = reading.options;
  if (named.definition->number) {
    options.sound.*named.definition->number = value.number;
    return true;
  }
  if (practice_written(named.definition->name, reading)) {
    return set_practice_option(named, value, reading);
  }
  switch (named.definition->name) {
    case Name::rate:
      // The range check came first, so the rate converts exactly.
      options.sound.rate = static_cast<int>(value.number);
      reading.rate_by = named.written;
      reading.rate_given = true;
      break;
    case Name::bitrate:
      options.sound.bitrate_kbps = static_cast<int>(value.number);
      reading.bitrate = {named.written, value.text};
      break;
    case Name::encoding:
      options.sound.encoding = static_cast<Encoding>(value.choice);
      reading.encoding_by = named.written;
      reading.rate_by = {};
      break;
    case Name::farnsworth:
      options.sound.farnsworth_wpm = value.number;
      break;
    case Name::dot:
      options.sound.dot_seconds = value.number;
      break;
    case Name::noise:
      options.sound.noise_snr_db = value.number;
      break;
    case Name::qrm:
      options.sound.qrm_wpm = value.number;
      break;
    case Name::mode:
      options.sound.mode = static_cast<KeyMode>(value.choice);
      break;
    case Name::carrier_first:
      options.sound.carrier_first = true;
      break;
    case Name::raw:
      options.container = Container::raw;
      reading.raw_by = named.written;
      break;
    case Name::preset:
      apply_preset(presets()[value.choice], options.sound, options.container);
      // A preset of raw samples is refused beside tags and codecs as --raw
      // is; one with a header undoes an earlier --raw.
      reading.raw_by = options.container == Container::raw ? named.written : std::string_view{};
      reading.encoding_by = named.written;
      reading.rate_by = {};
      reading.rate_given = true;
      break;
    case Name::text:
      options.text = true;
      reading.text_by = named.written;
      break;
    case Name::text_file:
      options.text_file = value.text;
      options.text_file_by = named.written;
      reading.text_file_by = named.written;
      break;
    case Name::sync:
      options.sync = true;
      break;
    case Name::ch:
      options.letters.ch = true;
      break;
    case Name::fold:
      options.letters.fold = true;
      break;
    case Name::ukrainian:
      options.letters.ukrainian = true;
      break;
    case Name::persian:
      options.letters.persian = true;
      break;
    case Name::title:
    case Name::artist:
    case Name::album:
    case Name::track:
    case Name::comment:
      reading.tag_by = named.written;
      return set_tag(named.definition->name, value.text, options.tags);
    case Name::split_minutes:
      options.split.minutes = value.number;
      reading.split_by = named.written;
      break;
    case Name::split_at:
      options.split.marker = value.text;
      reading.split_by = named.written;
      break;
    case Name::help:
      options.help = true;
      break;
    case Name::version:
      options.version = true;
      break;
    default:
      break;
  }
  return true;
}

// Reads the option `arg`, taking its value from `args[next]` when it has none
// attached.
Result<void, OptionError> read_option(std::string_view arg, std::span<const std::string_view> args,
                                      std::size_t& next, Reading& reading) {
  const auto named = name_option(arg);
  if (!named) return unknown_option(arg);
  const ValueRule& rule = named->definition->value;
  if (rule.kind == ValueRule::Kind::none) {
    if (named->attached) {
      return error(OptionError::Kind::flag_with_value, named->written, *named->attached);
    }
    set_option(*named, {}, reading);  // a flag always takes its place
    return {};
  }
  std::optional<std::string_view> text = named->attached;
  if (!text && next < args.size()) text = args[next++];
  if (!text) return error(OptionError::Kind::missing_value, named->written);
  if (text->empty()) return error(OptionError::Kind::empty_value, named->written);
  const auto value = read_value(*text, rule);
  if (!value || !set_option(*named, *value, reading)) {
    return error(OptionError::Kind::bad_value, named->written, *text, allowed_text(rule));
  }
  return {};
}

OptionError conflict(const Written& option, std::string_view other) {
  return error(OptionError::Kind::conflict, option.option, other);
}

OptionError needs(const Written& option, std::string_view what) {
  if (option.value.empty()) {
    return error(OptionError::Kind::not_here, option.option, {}, "only with " + std::string(what));
  }
  return error(OptionError::Kind::needs, option.option, option.value, what);
}

// An option written after the callsign would otherwise be read as a number or
// a file name, or be ignored. The callsign itself cannot be one: it would
// have been read as an option.
Result<void, OptionError> refuse_late_options(std::span<const std::string_view> positional) {
  for (std::size_t i = 0; i < positional.size(); ++i) {
    const auto named = name_option(positional[i]);
    if (!named) continue;
    return error(OptionError::Kind::after_callsign, named->written, named->attached.value_or(""));
  }
  return {};
}

// A practice set is its own text, of groups or of calls; what shapes one
// needs it.
std::optional<OptionError> refuse_practice_combinations(const Reading& r) {
  const Written& practice = r.groups.given() ? r.groups : r.calls;
  if (r.groups.given() && r.calls.given()) return conflict(r.calls, r.groups.option);
  if (practice.given() && !r.text_by.empty()) return conflict(practice, r.text_by);
  if (practice.given() && !r.text_file_by.empty()) return conflict(practice, r.text_file_by);
  if (r.koch.given() && r.charset.given()) return conflict(r.charset, r.koch.option);
  for (const Written* shaping : {&r.koch, &r.charset, &r.group_size}) {
    if (shaping->given() && !r.groups.given()) return needs(*shaping, "--groups COUNT");
  }
  for (const Written* shaping : {&r.frame, &r.key}) {
    if (shaping->given() && !practice.given()) return needs(*shaping, "--groups or --calls");
  }
  if (r.seed.given() && !practice.given() && !r.options.sound.has_conditions()) {
    return needs(r.seed, "--groups, --calls, --noise, --qsb or --qrm");
  }
  return std::nullopt;
}

// The compressed encodings: built, in their own containers, at a rate and
// bitrate their codec takes; a bitrate only for the lossy ones.
std::optional<OptionError> refuse_codec_combinations(const Reading& r) {
  const SoundOptions& sound = r.options.sound;
  const Encoding encoding = sound.encoding;
  const std::string name(encoding_name(encoding));
  if (r.bitrate.given() && !is_lossy(encoding)) return needs(r.bitrate, "-e mp3, vorbis or opus");
  if (!r.raw_by.empty() && !r.tag_by.empty()) return conflict({r.tag_by, {}}, r.raw_by);
  if (!is_coded(encoding)) return std::nullopt;
  if (!encoding_built(encoding)) {
    return error(OptionError::Kind::needs, r.encoding_by, name,
                 "a build with the compressed encodings, which this one is not");
  }
  if (!r.raw_by.empty()) return conflict({r.raw_by, {}}, "-e " + name);
  const auto refusal = codec_refusal(encoding, sound.rate, sound.bitrate_kbps);
  if (!refusal) return std::nullopt;
  if (refusal->what == CodecRule::What::bitrate) {
    return error(OptionError::Kind::bad_value, r.bitrate.option, r.bitrate.value, refusal->allowed);
  }
  return error(OptionError::Kind::needs, r.encoding_by, name, "-r " + refusal->allowed);
}

Result<void, OptionError> refuse_combinations(const Reading& reading) {
  if (!reading.text_by.empty() && !reading.text_file_by.empty()) {
    return error(OptionError::Kind::conflict, reading.text_file_by, reading.text_by);
  }
  if (auto practice = refuse_practice_combinations(reading)) return *std::move(practice);
  const Options& o = reading.options;
  if (o.split.minutes && !o.split.marker.empty()) {
    return error(OptionError::Kind::conflict, reading.split_by,
                 reading.split_by == "--split-at" ? "--split-minutes" : "--split-at");
  }
  const bool message = o.text || o.text_file || o.practice.count > 0;
  if (o.split.any() && !message) {
    return error(OptionError::Kind::not_here, reading.split_by, {},
                 "only with a message: --text, -f, --groups or --calls");
  }
  const SoundOptions& sound = reading.options.sound;
  if (sound.encoding == Encoding::gsm && !kGsmCoderBuilt) {
    return error(OptionError::Kind::needs, reading.encoding_by, encoding_name(Encoding::gsm),
                 "a build with GSM, which this one is not");
  }
  if (auto coded = refuse_codec_combinations(reading)) return *std::move(coded);
  if (sound.encoding == Encoding::gsm && sound.rate != kGsmRate) {
    // The later of the two is the one that broke the pair.
    if (!reading.rate_by.empty()) {
      return error(OptionError::Kind::bad_value, reading.rate_by, std::to_string(sound.rate),
                   std::to_string(kGsmRate) + ", the only rate gsm takes");
    }
    return error(OptionError::Kind::needs, reading.encoding_by, encoding_name(Encoding::gsm),
                 "-r " + std::to_string(kGsmRate));
  }
  return {};
}

}  // namespace

Result<Options, OptionError> read_options(std::span<const std::string_view> args) {
  Reading reading;
  Options& options = reading.options;
  std::size_t next = 0;
  // After an explicit "--" every argument is the user's own text, even one
  // that looks like an option.
  bool ended_by_marker = false;
  while (next < args.size() && args[next].starts_with('-')) {
    const std::string_view arg = args[next++];
    if (arg == "--") {
      ended_by_marker = true;
      break;
    }
    if (auto read = read_option(arg, args, next, reading); !read) return std::move(read).error();
  }
  options.positional.assign(args.begin() + static_cast<std::ptrdiff_t>(next), args.end());
  if (!ended_by_marker) {
    if (auto late = refuse_late_options(options.positional); !late) return std::move(late).error();
  }
  // A compressed encoding without -r is rendered at the rate its codec suits.
  if (is_coded(options.sound.encoding) && !reading.rate_given) {
    options.sound.rate = default_rate(options.sound.encoding);
  }
  if (auto paired = refuse_combinations(reading); !paired) return std::move(paired).error();
  return std::move(options);
}

}  // namespace zarn
