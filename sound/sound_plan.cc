#include "sound/sound_plan.h"

#include "encode/codec.h"
#include "keying/unit_grid.h"
#include "sound/info_chunk.h"

namespace zarn {

std::uint64_t planned_bytes(const SoundPlan& plan) {
  const SoundFormat& f = plan.format;
  if (!is_coded(f.encoding)) {
    const bool tagged = f.container == Container::wav && !plan.tags.empty();
    return static_cast<std::uint64_t>(f.file_size(plan.sample_count)) +
           (tagged ? info_chunk(plan.tags).size() : 0);
  }
  return coded_size_bound({f.encoding, f.sample_rate, f.kbps, plan.sample_count, &plan.tags});
}

std::unique_ptr<KeySchedule> key_schedule_for(const KeyedSound& sound,
                                              std::span<const std::uint8_t> units,
                                              std::span<const InlineChange> changes) {
  if (const auto* grid = std::get_if<UnitGridTiming>(&sound.timing)) {
    return std::make_unique<UnitGrid>(grid->unit_seconds, sound.tone.sample_rate, units);
  }
  const double rate = sound.tone.sample_rate;
  const double ramp = sound.tone.ramp_seconds;
  if (const auto* beacon = std::get_if<BeaconTiming>(&sound.timing)) {
    auto message = [units, rate, ramp, timing = beacon->message]() -> std::unique_ptr<KeySchedule> {
      if (const auto* dfcw = std::get_if<DfcwTiming>(&timing)) {
        return std::make_unique<DfcwTimeline>(units, *dfcw, rate, ramp);
      }
      return std::make_unique<Timeline>(units, std::get<TimelineTiming>(timing), rate, ramp);
    };
    return std::make_unique<BeaconSchedule>(beacon->layout, message, rate, ramp);
  }
  return std::make_unique<Timeline>(units, std::get<TimelineTiming>(sound.timing),
                                    sound.tone.sample_rate, sound.tone.ramp_seconds, changes);
}

}  // namespace zarn
