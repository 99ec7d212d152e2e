#include "cli/options.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

namespace zarn {
namespace {

enum class Name { rate, encoding, ramp, farnsworth, volume, lead, tail, raw, text, help, version };

struct Definition {
  Name name;
  std::string_view long_name;  // without the leading "--"
  char short_name;             // '\0' for none
  bool takes_value;
};

// Long names are matched whole, never abbreviated: --ra could be --rate,
// --ramp or --raw, and a new option would change what an old command line
// means.
constexpr std::array<Definition, 11> kDefinitions = {{
    {Name::rate, "rate", 'r', true},
    {Name::encoding, "encoding", 'e', true},
    {Name::ramp, "ramp", '\0', true},
    {Name::farnsworth, "farnsworth", '\0', true},
    {Name::volume, "volume", '\0', true},
    {Name::lead, "lead", '\0', true},
    {Name::tail, "tail", '\0', true},
    {Name::raw, "raw", '\0', false},
    {Name::text, "text", '\0', false},
    {Name::help, "help", 'h', false},
    {Name::version, "version", 'V', false},
}};

// An argument that names one of the options.
struct Named {
  const Definition* definition;
  std::string_view written;                  // "--rate" or "-r"
  std::optional<std::string_view> attached;  // "8000" of "--rate=8000" or "-r8000"
};

std::optional<Named> name_long(std::string_view arg) {
  const auto equals = arg.find('=');
  const std::string_view written = arg.substr(0, equals);
  for (const Definition& definition : kDefinitions) {
    if (written.substr(2) != definition.long_name) continue;
    if (equals == std::string_view::npos) return Named{&definition, written, std::nullopt};
    return Named{&definition, written, arg.substr(equals + 1)};
  }
  return std::nullopt;
}

// Whatever follows the letter is the value; for a flag that is an error
// (-hV), as short flags are not grouped.
std::optional<Named> name_short(std::string_view arg) {
  for (const Definition& definition : kDefinitions) {
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

std::optional<int> whole_number(std::string_view text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  // Digits only, so the one failure left is a number too large for an int.
  int value = 0;
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc{}) {
    return std::nullopt;
  }
  return value;
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

constexpr double kUnbounded = std::numeric_limits<double>::infinity();

struct Range {
  double low;
  bool low_included;
  double high;
  std::string_view allowed;
};

constexpr Range kRampRange = {0, true, kUnbounded, "a number of 0 or more"};
constexpr Range kFarnsworthRange = {0, false, kUnbounded, "a number above 0"};
constexpr Range kVolumeRange = {-60, true, 0, "a number from -60 to 0"};
constexpr Range kSilenceRange = {0, true, 60000, "a number from 0 to 60000"};

constexpr int kLowestRate = 8000;
constexpr int kHighestRate = 192000;
constexpr std::string_view kRateAllowed = "a whole number from 8000 to 192000";

std::optional<double> real_in(std::string_view text, const Range& range) {
  const auto value = real_number(text);
  if (!value) return std::nullopt;
  const bool above_low = range.low_included ? *value >= range.low : *value > range.low;
  if (!above_low || *value > range.high) return std::nullopt;
  return value;
}

std::optional<OptionError> set_rate(const Named& named, std::string_view value, int& rate) {
  const auto read = whole_number(value);
  if (!read || *read < kLowestRate || *read > kHighestRate) {
    return error(OptionError::Kind::bad_value, named.written, value, kRateAllowed);
  }
  rate = *read;
  return std::nullopt;
}

std::optional<OptionError> set_encoding(const Named& named, std::string_view value,
                                        Encoding& encoding) {
  constexpr std::pair<std::string_view, Encoding> kEncodings[] = {{"u8", Encoding::u8},
                                                                  {"s16", Encoding::s16},
                                                                  {"ulaw", Encoding::ulaw},
                                                                  {"alaw", Encoding::alaw}};
  for (const auto& [name, known] : kEncodings) {
    if (value != name) continue;
    encoding = known;
    return std::nullopt;
  }
  return error(OptionError::Kind::bad_value, named.written, value, "one of u8, s16, ulaw, alaw");
}

template <typename Target>
std::optional<OptionError> set_real(const Named& named, std::string_view value, const Range& range,
                                    Target& target) {
  const auto read = real_in(value, range);
  if (!read) return error(OptionError::Kind::bad_value, named.written, value, range.allowed);
  target = *read;
  return std::nullopt;
}

std::optional<OptionError> set_sound_option(const Named& named, std::string_view value,
                                            SoundOptions& sound) {
  switch (named.definition->name) {
    case Name::rate:
      return set_rate(named, value, sound.rate);
    case Name::encoding:
      return set_encoding(named, value, sound.encoding);
    case Name::ramp:
      return set_real(named, value, kRampRange, sound.ramp_ms);
    case Name::farnsworth:
      return set_real(named, value, kFarnsworthRange, sound.farnsworth_wpm);
    case Name::volume:
      return set_real(named, value, kVolumeRange, sound.volume_db);
    case Name::lead:
      return set_real(named, value, kSilenceRange, sound.lead_ms);
    case Name::tail:
      return set_real(named, value, kSilenceRange, sound.tail_ms);
    case Name::raw:
    case Name::text:
    case Name::help:
    case Name::version:
      break;  // flags carry no value
  }
  return std::nullopt;
}

void set_flag(Name name, Options& options) {
  if (name == Name::raw) options.raw = true;
  if (name == Name::text) options.text = true;
  if (name == Name::help) options.help = true;
  if (name == Name::version) options.version = true;
}

// Reads the option `arg`, taking its value from `args[next]` when it has none
// attached.
std::optional<OptionError> read_option(std::string_view arg, std::span<const std::string_view> args,
                                       std::size_t& next, Options& options) {
  const auto named = name_option(arg);
  if (!named) return unknown_option(arg);
  if (!named->definition->takes_value) {
    if (named->attached) {
      return error(OptionError::Kind::flag_with_value, named->written, *named->attached);
    }
    set_flag(named->definition->name, options);
    return std::nullopt;
  }
  std::string_view value;
  if (named->attached) {
    value = *named->attached;
  } else if (next < args.size()) {
    value = args[next++];
  }
  if (value.empty()) return error(OptionError::Kind::missing_value, named->written);
  return set_sound_option(*named, value, options.sound);
}

// An option written after the callsign would otherwise be read as a number or
// a file name, or be ignored; the callsign itself is never checked.
std::optional<OptionError> refuse_late_options(std::span<const std::string_view> positional) {
  for (std::size_t i = 1; i < positional.size(); ++i) {
    const auto named = name_option(positional[i]);
    if (!named) continue;
    return error(OptionError::Kind::after_callsign, named->written, named->attached.value_or(""));
  }
  return std::nullopt;
}

}  // namespace

std::variant<Options, OptionError> read_options(std::span<const std::string_view> args) {
  Options options;
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
    if (auto failure = read_option(arg, args, next, options)) return *std::move(failure);
  }
  options.positional.assign(args.begin() + static_cast<std::ptrdiff_t>(next), args.end());
  if (!ended_by_marker) {
    if (auto failure = refuse_late_options(options.positional)) return *std::move(failure);
  }
  return options;
}

}  // namespace zarn
