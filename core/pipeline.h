// The core's two entry points: a request becomes a planned sound, or the
// failure that says why it cannot be one; a planned sound goes to a sink.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/failure.h"
#include "core/request.h"
#include "core/result.h"
#include "output/sink.h"
#include "sound/sound_plan.h"

namespace zarn {

// A request's Morse units and the plan over them: everything fixed before
// the first byte, and the exact number of bytes the sound will be.
class PlannedSound {
 public:
  PlannedSound(MorseUnits units, SoundPlan plan, MorseUnits qrm_units = {});
  PlannedSound(PlannedSound&&) noexcept = default;
  PlannedSound(const PlannedSound&) = delete;
  PlannedSound& operator=(const PlannedSound&) = delete;

  const SoundPlan& plan() const { return plan_; }
  std::uint64_t size() const;

 private:
  MorseUnits units_;      // the plan views them; a move keeps their storage
  MorseUnits qrm_units_;  // the other station's calls, likewise
  SoundPlan plan_;
};

// Encodes the request's text, plans its sound and checks it against the
// request's limits. Reads nothing and writes nothing.
Result<PlannedSound> plan_request(const Request& request);

// Opens `sink` as `name`, writes the whole sound and closes it; the first
// failure stops. Every allocation is made before the sink is opened.
Status write_sound(const PlannedSound& sound, Sink& sink, std::string_view name);

}  // namespace zarn
