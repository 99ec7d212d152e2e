// Why a run cannot make a sound worth writing. Each reason carries its own
// values, named for what they are.
#pragma once

#include <cstdint>
#include <variant>

namespace zarn {

struct SpeedNotPositive {
  float wpm;
};
struct SoundTooLong {
  std::int64_t units;
  float wpm;
};
struct CharacterSpeedBelowSpeed {
  double character_wpm;
  float wpm;
};
struct RampLongerThanDot {
  double ramp_ms;
  double dot_ms;
};
struct ToneNotBelowHalfRate {
  double tone_hz;
  double half_rate_hz;
};

using SoundRefusal = std::variant<SpeedNotPositive, SoundTooLong, CharacterSpeedBelowSpeed,
                                  RampLongerThanDot, ToneNotBelowHalfRate>;

}  // namespace zarn
