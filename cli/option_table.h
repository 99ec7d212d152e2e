// The options: one table that the reader follows and --help shows, so that a
// range or a default is written once.
#pragma once

#include <limits>
#include <span>
#include <string>
#include <string_view>

#include "encode/encoding.h"
#include "sound/options.h"

namespace zarn {

enum class OptionName {
  rate,
  encoding,
  ramp,
  farnsworth,
  word_gap,
  volume,
  lead,
  tail,  // the sound options
  raw,
  preset,
  text,
  text_file,
  ch,
  fold,
  ukrainian,
  persian,
  help,
  version,
};

// What an option's value may be. A number range with an upper limit includes
// both ends; one without may leave out its lower end.
struct ValueRule {
  enum class Kind { none, whole, number, choice, text };
  Kind kind = Kind::none;
  double low = 0;
  bool low_included = true;
  double high = std::numeric_limits<double>::infinity();
  std::string_view later = {};  // a limit the run checks, once the speed is known
  std::span<const std::string_view> choices = {};
};

struct OptionDefinition {
  OptionName name;
  std::string_view long_name;    // without the leading "--"
  char short_name;               // '\0' for none
  std::string_view placeholder;  // "HZ"; empty for a flag
  std::string_view description;  // "samples per second"
  ValueRule value;
  std::string_view default_text;  // empty for none
  // The sound option a plain number sets, if that is all the option does.
  double SoundOptions::*number = nullptr;
};

// In the order --help lists them.
std::span<const OptionDefinition> option_table();

// What a refused value should have been: "a whole number from 8000 to 192000".
std::string allowed_text(const ValueRule& rule);

// The description with what the value may be and its default, as --help and
// the manual give it: "samples per second, whole, 8000..192000 (11025)".
std::string summary_text(const OptionDefinition& definition);

}  // namespace zarn
