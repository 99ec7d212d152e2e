// Fading (QSB): the signal's level drifts smoothly between full and a
// trough `depth_db` below it, the turns drawn from the seed. Integer draws
// and double arithmetic only, as for the noise.
#pragma once

#include <cstdint>
#include <span>

#include "practice/random.h"

namespace zarn {

struct FadeShape {
  double depth_db;  // above 0
  double rate_hz;   // fades a second, on average
  double sample_rate;
};

// The level goes from full to the trough and back once a fade: each half
// of it lasts between a quarter and three quarters of 1 / rate_hz, drawn
// anew, and follows 6x^5 - 15x^4 + 10x^3, so that it eases in and out of
// every turn with no corner. The trough is 10^(-depth / 20) of full level.
class Fading {
 public:
  // Full level is `scale`, the trough scale * 10^(-depth / 20).
  Fading(const FadeShape& shape, std::uint64_t seed, double scale = 1);

  // Multiplies the next values.size() samples by the level.
  void apply(std::span<double> values);
  // Goes past the next `samples` samples: the same as applying the level to
  // silence.
  void skip(std::int64_t samples);

 private:
  void next_half();

  Random random_;
  double half_samples_;  // a half fade's mean length in samples
  double full_, trough_;
  double from_, to_;
  std::int64_t length_ = 1, at_ = 0;  // the half fade's samples, and where it is
};

}  // namespace zarn
