// The sample loop written the plain way, one sample at a time, to check the
// tool's renderer against.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "audio/tone_plan.h"
#include "morse/encoder.h"

namespace zarn::testing {

inline std::vector<std::uint8_t> plain_sample_loop(const TonePlan& plan, const MorseUnits& units) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(plan.sample_count));
  float phase = 0;
  float t = 0;
  for (auto& byte : out) {
    phase = static_cast<float>(double{phase} + plan.phase_step);
    t = static_cast<float>(double{t} + 9.0702946e-05f);
    const double j = double{t} / plan.unit_seconds + 1;
    const bool down = j < units.count() + 1 && units.units[std::size_t(j) - 1] != 0;
    const double v = 127.0 * std::sin(double{phase});
    byte = down && std::isfinite(v) ? std::uint8_t(int(std::round(v)) + 128) : 128;
  }
  return out;
}

}  // namespace zarn::testing
