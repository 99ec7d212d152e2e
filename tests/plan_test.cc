// The limits of the sound options, where the single-precision speed meets
// values written in full precision.
#include "sound/plan.h"

#include <gtest/gtest.h>

#include <vector>

#include "morse/callsign.h"

namespace zarn {
namespace {

// farnsworth 0: none.
Result<SoundPlan, SoundRefusal> plan(double farnsworth, double ramp_ms, float wpm) {
  SoundOptions options;
  options.rate = 48000;
  if (farnsworth > 0) options.farnsworth_wpm = farnsworth;
  options.ramp_ms = ramp_ms;
  static const MorseUnits units = *encode_callsign("Q1ABC");
  return plan_sound(options, Container::wav, units.units, wpm, 0);
}

TEST(PlanSound, LimitsHoldAtTheSpeedAsWritten) {
  const struct {
    const char* what;
    double farnsworth;
    double ramp_ms;
    float wpm;
    bool accepted;
  } kCases[] = {
      {"character speed written as the speed", 13.1, 0, 13.1f, true},
      {"character speed just below", 13.09, 0, 13.1f, false},
      {"a ramp of 1200 / wpm ms", 0, 1200 / 13.1, 13.1f, true},
      {"a ramp a hair longer", 0, 1200 / 13.1 * 1.000001, 13.1f, false},
      // Refused for its dot shorter than a sample, and not by an overflow.
      {"characters as fast as a double goes", 1.7e308, 0, 20, false},
  };
  for (const auto& c : kCases) {
    const auto planned = plan(c.farnsworth, c.ramp_ms, c.wpm);
    EXPECT_EQ(planned.has_value(), c.accepted) << c.what;
    if (const auto* sound = planned ? &*planned : nullptr) {
      // Never a ramp past the dot; the gaps still take their time.
      EXPECT_LE(std::get<KeyedSound>(sound->renderer).tone.ramp_seconds, 1.2 / c.wpm) << c.what;
      EXPECT_GT(sound->sample_count, 0) << c.what;
    }
  }
}

}  // namespace
}  // namespace zarn
