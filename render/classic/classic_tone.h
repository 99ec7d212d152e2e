// The classic sound's arithmetic: single-precision stored values and
// double-precision expressions, in the order every stored identification
// depends on. Nothing here may change a bit.
#pragma once

#include <cstdint>

namespace zarn {

inline constexpr int kClassicRate = 11025;

// The tone when none is given, or one not above 0 Hz.
inline constexpr float kDefaultToneHz = 1361.97509765625f;

// The single-precision accumulators stay exact enough for the sounds the
// classic fixed image held, 80,000 bytes less the header; past that they
// drift and then stall, and the sample grid takes over.
inline constexpr std::int64_t kAccumulatedSamples = 79'956;

struct ClassicTone {
  float unit_seconds = 0;  // one Morse unit, the length of a dot
  float phase_step = 0;    // radians the oscillator advances per sample
  float tone_hz = 0;       // the tone actually sent
};

// `wpm` > 0; `freq` not above zero gives the default tone.
ClassicTone classic_tone(float wpm, float freq);

// units x unit_seconds x 11025 in double, before the truncation that makes it
// the sample count.
double classic_samples(std::int64_t units, float unit_seconds);

// The step of the time accumulator, 1 / 11025 s as a single-precision value.
inline constexpr float kClassicSamplePeriod = 9.0702946e-05f;

}  // namespace zarn
