// The band conditions of a keyed sound, fixed before the first sample: the
// noise's level from the signal-to-noise ratio, and the scale that keeps
// the peak of signal and noise together within full level.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/result.h"
#include "render/conditions.h"
#include "sound/options.h"
#include "sound/refusal.h"

namespace zarn {

// The other station: 10 dB below the tone, 0.3 of the bandwidth above it
// (below, where that would reach half the rate).
inline constexpr double kQrmLevelDb = -10;
inline constexpr double kQrmOffset = 0.3;

// The tone's setting as the conditions need them: `gain` is its full
// key-down level, against which the ratio is reckoned; `peak_gain` the
// highest level any tone reaches.
struct ToneLevels {
  double tone_hz;
  double gain;
  double peak_gain;
  double ramp_seconds;
};

// Refuses a bandwidth without noise, a fading rate without fading, and the
// other station in a beacon. `qrm_units` are its calls, with --qrm.
Result<std::optional<ConditionsSettings>, SoundRefusal> plan_conditions(
    const SoundOptions& options, const ToneLevels& tone, std::span<const std::uint8_t> qrm_units);

}  // namespace zarn
