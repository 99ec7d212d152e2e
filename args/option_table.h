// The options: one table that the reader follows and --help shows, so that a
// range or a default is written once.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/value_rule.h"
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
  dot,
  mode,
  shift,
  element_gap,
  carrier,
  carrier_first,
  repeat,
  gap,  // the beacon's
  noise,
  bandwidth,
  qsb,
  qsb_rate,
  qrm,  // band conditions
  raw,
  bitrate,
  title,  // the tags
  artist,
  album,
  track,
  comment,
  split_minutes,  // parts
  split_at,
  preset,
  text,
  text_file,
  sync,
  ch,
  fold,
  ukrainian,
  persian,
  groups,  // practice text
  group_size,
  charset,
  koch,
  calls,
  frame,
  key,
  seed,
  help,
  version,
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

// The description with what the value may be and its default, as --help and
// the manual give it: "samples per second, whole, 8000..192000 (11025)".
std::string summary_text(const OptionDefinition& definition);

}  // namespace zarn
