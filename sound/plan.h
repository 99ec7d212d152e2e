// The one plan step: from the Morse units, the numbers and the sound
// options to everything the stream needs, fixed before the first byte, or
// the refusal of a run that gives no usable sound. The classic sound and the
// sounds with options part here and nowhere else.
#pragma once

#include <cstdint>
#include <span>
#include <variant>

#include "keying/timeline.h"
#include "render/classic/classic_tone.h"
#include "render/keyed_renderer.h"
#include "sound/format.h"
#include "sound/options.h"
#include "sound/refusal.h"

namespace zarn {

// The classic sound within reach of its single-precision accumulators: the
// frozen renderer.
struct AccumulatedClassic {
  ClassicTone tone;
};

// The classic sound's unit grid, past that reach.
struct UnitGridTiming {
  double unit_seconds;
};

// Every other sound: the keyed renderer, keyed by the unit grid or the
// timeline.
struct KeyedSound {
  KeyedTone tone;
  std::variant<UnitGridTiming, TimelineTiming> timing;
};

struct SoundPlan {
  SoundFormat format;
  std::int64_t sample_count;
  std::span<const std::uint8_t> units;  // the caller's, kept alive by it
  std::variant<AccumulatedClassic, KeyedSound> renderer;
};

// Plans `units` at `wpm` with `freq` Hz, or the default tone when freq is not
// above zero. Refuses a speed not above zero, a character speed below it, a
// ramp longer than a dot, a tone not below half the sample rate and a sound
// too long for its format.
std::variant<SoundPlan, SoundRefusal> plan_sound(const SoundOptions& options, Container container,
                                                 std::span<const std::uint8_t> units, float wpm,
                                                 float freq);

}  // namespace zarn
