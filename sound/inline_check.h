// The changes written inside a message, checked before anything is made:
// each value against the range of its option, and each speed against the
// others, the ramp and the sample rate, as the options themselves are.
#pragma once

#include <optional>
#include <span>

#include "morse/inline_change.h"
#include "sound/options.h"
#include "sound/refusal.h"

namespace zarn {

// The speeds and tone in force before the first change.
struct SettingsInForce {
  double speed_wpm;
  double character_wpm;
  bool character_follows;  // no character speed was set
  double ramp_seconds;
};

// The first change that cannot be made, in the order written; a beacon
// takes none.
std::optional<SoundRefusal> check_changes(std::span<const InlineChange> changes,
                                          const SoundOptions& options, SettingsInForce settings);

}  // namespace zarn
