// Whether a planned sound would hold anything but silence: a question about
// its tone, its key schedule and its encoding, answered before the plan is
// handed on, so that a silent file is refused rather than written.
#pragma once

#include "sound/sound_plan.h"

namespace zarn {

// Whether any sample of the planned sound is off silence once encoded (GSM
// judged by the 16-bit samples it is given). Renders a small piece at a time
// until the first such sample: at once for any sound worth sending, the
// whole of one that is not.
bool holds_tone(const SoundPlan& plan);

}  // namespace zarn
