#include "sound/sound_plan.h"

#include "keying/unit_grid.h"

namespace zarn {

std::unique_ptr<KeySchedule> key_schedule_for(const KeyedSound& sound,
                                              std::span<const std::uint8_t> units) {
  if (const auto* grid = std::get_if<UnitGridTiming>(&sound.timing)) {
    return std::make_unique<UnitGrid>(grid->unit_seconds, sound.tone.sample_rate, units);
  }
  return std::make_unique<Timeline>(units, std::get<TimelineTiming>(sound.timing),
                                    sound.tone.sample_rate, sound.tone.ramp_seconds);
}

}  // namespace zarn
