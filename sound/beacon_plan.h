// A beacon's plan: the copies, the carrier and the second tone of FSK and
// DFCW laid out in samples, and the options that a beacon leaves without
// meaning refused.
#pragma once

#include <cstdint>
#include <span>

#include "core/result.h"
#include "keying/timeline.h"
#include "render/keyed_renderer.h"
#include "sound/options.h"
#include "sound/refusal.h"
#include "sound/sound_plan.h"

namespace zarn {

// Plans `units` as a beacon sends them, with `tone` and the message's
// `timing` as the plain keying would have them.
Result<SoundPlan, SoundRefusal> plan_beacon(const SoundOptions& options, Container container,
                                            std::span<const std::uint8_t> units, float wpm,
                                            KeyedTone tone, const TimelineTiming& timing);

}  // namespace zarn
