// Sound settings for the systems that play identifications, chosen by name
// with -p.
#pragma once

#include <span>
#include <string_view>

#include "encode/encoding.h"
#include "sound/format.h"
#include "sound/options.h"

namespace zarn {

struct Preset {
  std::string_view name;
  int rate;
  Encoding encoding;
  bool raw;  // no WAV header
  int ramp_ms;
  std::string_view system;  // what plays the file
  std::string_view file;    // the file it wants
  std::string_view place;   // where such files usually live
};

// In the order --help lists them.
std::span<const Preset> presets();

// The presets' names, in the same order.
std::span<const std::string_view> preset_names();

// Sets what the preset sets, as if its options were written in its place.
void apply_preset(const Preset& preset, SoundOptions& sound, Container& container);

}  // namespace zarn
