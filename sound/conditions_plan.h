// The band conditions of a keyed sound, fixed before the first sample: the
// noise's level from the signal-to-noise ratio, and the scale that keeps
// the peak of signal and noise together within full level.
#pragma once

#include <cstdint>
#include <optional>

#include "core/result.h"
#include "render/conditions.h"
#include "sound/options.h"
#include "sound/refusal.h"

namespace zarn {

// `gain` is the tone's full key-down level, against which the ratio is
// reckoned; `peak_gain` the highest level any tone reaches. Refuses a
// bandwidth without noise, a fading rate without fading.
Result<std::optional<ConditionsSettings>, SoundRefusal> plan_conditions(const SoundOptions& options,
                                                                        double tone_hz, double gain,
                                                                        double peak_gain,
                                                                        std::int64_t samples);

}  // namespace zarn
