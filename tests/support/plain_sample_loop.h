// The sample loop written the plain way, one sample at a time, to check the
// tool's renderer against.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "morse/callsign.h"
#include "render/classic/classic_tone.h"

namespace zarn::testing {

inline std::vector<std::uint8_t> plain_sample_loop(const ClassicTone& plan, std::size_t count,
                                                   const MorseUnits& units) {
  std::vector<std::uint8_t> out(count);
  float phase = 0;
  float t = 0;
  for (auto& byte : out) {
    phase = static_cast<float>(double{phase} + plan.phase_step);
    t = static_cast<float>(double{t} + 9.0702946e-05f);
    const double j = double{t} / plan.unit_seconds + 1;
    const bool down =
        j < static_cast<double>(units.units.size()) + 1 && units.units[std::size_t(j) - 1] != 0;
    const double v = 127.0 * std::sin(double{phase});
    byte = down && std::isfinite(v) ? std::uint8_t(int(std::round(v)) + 128) : 128;
  }
  return out;
}

// Sounds longer than the classic arithmetic's reach, by their definition:
// sample k (from 1) at k / 11025 s, in unit floor(t / unit) + 1, of phase
// 2 pi f k / 11025. f k is exact in double (a float times k < 2^29), so the
// phase is reduced without loss.
inline std::vector<std::uint8_t> plain_drift_free_loop(const ClassicTone& plan, std::size_t count,
                                                       const MorseUnits& units) {
  std::vector<std::uint8_t> out(count);
  const double f = plan.tone_hz;
  for (std::size_t k = 1; k <= out.size(); ++k) {
    const double unit = std::floor(double(k) / 11025 / plan.unit_seconds);
    const bool down =
        unit < static_cast<double>(units.units.size()) && units.units[std::size_t(unit)] != 0;
    const double turns = std::fmod(f * double(k), 11025.0) / 11025.0;
    const double v = 127.0 * std::sin(2 * 3.14159265358979323846 * turns);
    out[k - 1] = down ? std::uint8_t(int(std::round(v)) + 128) : 128;
  }
  return out;
}

}  // namespace zarn::testing
