// The tone's plan: everything the sample loop needs, fixed before the first
// sample, and the refusal of runs that give no usable sound.
#pragma once

#include <cstdint>
#include <variant>

namespace zarn {

struct TonePlan {
  float unit_seconds = 0;         // one Morse unit, the length of a dot
  float phase_step = 0;           // radians the oscillator advances per sample
  float tone_hz = 0;              // the tone actually sent
  std::int32_t sample_count = 0;  // the data size in bytes
};

// Why a run cannot make a sound worth writing.
struct ToneRefusal {
  enum class Reason {
    speed_not_positive,
    too_long,
    // Only with sound options:
    character_speed_below_speed,  // value: the character speed, wpm
    ramp_longer_than_dot,         // value: the ramp, limit: the dot, both in ms
    tone_not_below_half_rate,     // value: the tone, limit: half the rate, both in Hz
  };
  Reason reason;
  float wpm;
  int units;
  double value = 0;
  double limit = 0;
};

// The tone when none is given, or one not above 0 Hz.
inline constexpr float kDefaultToneHz = 1361.97509765625f;

// Plans `units` Morse units at `wpm`, with `freq` Hz or the default tone when
// freq is not above zero. Refuses a speed of zero or below and a sound too
// long for the header's 32-bit sizes.
std::variant<TonePlan, ToneRefusal> plan_tone(float wpm, float freq, int units);

// The sample period, 1/11025 s as a single-precision constant: the step of
// the time accumulator.
inline constexpr float kSamplePeriod = 9.0702946e-05f;

}  // namespace zarn
