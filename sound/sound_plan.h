// What the stream needs to write one sound, fixed before the first byte:
// the format, the length and which renderer makes the samples.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <variant>

#include "encode/tags.h"
#include "keying/beacon_schedule.h"
#include "keying/dfcw_timeline.h"
#include "keying/key_schedule.h"
#include "keying/timeline.h"
#include "render/classic/classic_tone.h"
#include "render/conditions.h"
#include "render/keyed_renderer.h"
#include "sound/format.h"

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

// A beacon: each copy's message keyed by the timeline (on-off, FSK) or
// the DFCW timeline, laid out in whole samples.
struct BeaconTiming {
  BeaconLayout layout;
  std::variant<TimelineTiming, DfcwTiming> message;
};

// Every other sound: the keyed renderer, keyed by the unit grid, the
// timeline or a beacon's schedule.
struct KeyedSound {
  KeyedTone tone;
  std::variant<UnitGridTiming, TimelineTiming, BeaconTiming> timing;
};

struct SoundPlan {
  SoundFormat format;
  std::int64_t sample_count;
  std::span<const std::uint8_t> units;  // the caller's, kept alive by it
  std::variant<AccumulatedClassic, KeyedSound> renderer;
  std::span<const InlineChange> changes = {};         // the message's, kept alive likewise
  std::optional<ConditionsSettings> conditions = {};  // noise and fading over a keyed sound
  Tags tags = {};  // what the compressed encodings and a tagged WAV carry
};

// Every byte of the file; for the compressed encodings the most it can be,
// as their sizes are known only once coded.
std::uint64_t planned_bytes(const SoundPlan& plan);

// The key schedule of a keyed sound: the unit grid or the timeline.
std::unique_ptr<KeySchedule> key_schedule_for(const KeyedSound& sound,
                                              std::span<const std::uint8_t> units,
                                              std::span<const InlineChange> changes = {});

}  // namespace zarn
