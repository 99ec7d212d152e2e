#include "args/presets.h"

#include <array>

namespace zarn {
namespace {

// svxlink plays a .wav only as 16 kHz 16-bit mono PCM; Asterisk and the
// linking built on it play 8 kHz only. The ramps keep key clicks off the air.
constexpr std::string_view kAsteriskPlaces = "/var/lib/asterisk/sounds/ or /etc/asterisk/local/";
constexpr std::array<Preset, 4> kPresets = {{
    {"svxlink", 16000, Encoding::s16, false, 5, "svxlink", "a .wav of 16 kHz 16-bit mono",
     "/usr/share/svxlink/sounds/<language>/"},
    {"asterisk", 8000, Encoding::ulaw, true, 5, "Asterisk, AllStarLink", "a .ulaw file",
     kAsteriskPlaces},
    {"asterisk-wav", 8000, Encoding::s16, false, 5, "Asterisk, AllStarLink", "an 8 kHz .wav",
     kAsteriskPlaces},
    {"asterisk-gsm", 8000, Encoding::gsm, true, 5, "Asterisk, AllStarLink", "a .gsm file",
     kAsteriskPlaces},
}};

constexpr auto kNames = [] {
  std::array<std::string_view, kPresets.size()> names{};
  for (std::size_t i = 0; i < kPresets.size(); ++i) names[i] = kPresets[i].name;
  return names;
}();

}  // namespace

std::span<const Preset> presets() {
  return kPresets;
}

std::span<const std::string_view> preset_names() {
  return kNames;
}

void apply_preset(const Preset& preset, SoundOptions& sound, Container& container) {
  sound.rate = preset.rate;
  sound.encoding = preset.encoding;
  sound.ramp_ms = preset.ramp_ms;
  container = preset.raw ? Container::raw : Container::wav;
}

}  // namespace zarn
