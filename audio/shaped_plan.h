// The plan of a sound made with sound options: its format, timing and
// envelope, fixed before the first sample.
#pragma once

#include <cstdint>
#include <span>
#include <variant>

#include "audio/shaped_renderer.h"
#include "audio/sound_options.h"
#include "audio/tone_plan.h"

namespace zarn {

// Plans `units` at `wpm` (the overall speed) with `freq` Hz, or the default
// tone when freq is not above zero. Refuses a speed not above zero, a
// character speed below it, a ramp longer than a dot, a tone not below half
// the sample rate and a sound too long for the header's 32-bit sizes.
std::variant<ShapedSound, ToneRefusal> plan_shaped(const SoundOptions& options,
                                                   std::span<const std::uint8_t> units, float wpm,
                                                   float freq);

}  // namespace zarn
