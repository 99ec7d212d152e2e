// The one plan step: from the Morse units, the numbers and the sound
// options to everything the stream needs, fixed before the first byte, or
// the refusal of a run that gives no usable sound. The classic sound and the
// sounds with options part here and nowhere else.
#pragma once

#include <cstdint>
#include <span>

#include "core/result.h"
#include "sound/options.h"
#include "sound/refusal.h"
#include "sound/sound_plan.h"

namespace zarn {

// Plans `units` at `wpm` with `freq` Hz, or the default tone when freq is not
// above zero. Refuses a speed not above zero, a character speed below it, a
// ramp longer than a dot, a tone not below half the sample rate and a sound
// too long for its format, and one in which every sample rounds to silence.
// A message's changes, when it has any, are checked and keyed with it; the
// sound is then never the classic one. `qrm_units` are the other station's
// calls, with --qrm.
Result<SoundPlan, SoundRefusal> plan_sound(const SoundOptions& options, Container container,
                                           std::span<const std::uint8_t> units, float wpm,
                                           float freq, std::span<const InlineChange> changes = {},
                                           std::span<const std::uint8_t> qrm_units = {});

}  // namespace zarn
