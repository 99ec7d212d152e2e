// A receiver's noise: white noise drawn from the seed, through a band-pass
// filter centred on the tone, as a CW filter passes it. Only integer draws
// and the four operations of double arithmetic, in a fixed order, so that a
// seed gives the same samples on every machine and in the page.
#pragma once

#include <cstdint>
#include <span>

#include "practice/random.h"

namespace zarn {

// The filter: centred on the tone, its -3 dB points bandwidth_hz apart. The
// band over which its power is reckoned is the same width, cut at 0 Hz and
// at half the rate.
struct NoiseBand {
  double centre_hz;
  double bandwidth_hz;
  double sample_rate;
};

class BandNoise {
 public:
  // The white noise before the filter has a standard deviation of `input`.
  BandNoise(const NoiseBand& band, std::uint64_t seed, double input);

  // Adds the next values.size() samples of the noise to values.
  void add(std::span<double> values);
  // The largest magnitude of the next `samples` samples, drawn and dropped:
  // what the level must leave room for so that nothing clips.
  double peak_over(std::int64_t samples);

  // The noise power within the band for white noise of unit variance at
  // the filter's input: the filter's squared response over the band, as a
  // share of the rate.
  static double band_power_gain(const NoiseBand& band);

 private:
  // Two equal second-order sections, each with b1 = 0 and b2 = -b0: the
  // inputs (x, u) and outputs (y, v) of the last two samples. Copied into
  // locals for a run of samples, so that the compiler need not fear that the
  // values alias it.
  struct State {
    Random random;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double u1 = 0, u2 = 0, v1 = 0, v2 = 0;
  };
  template <class Each>
  void run(std::int64_t samples, Each each);

  double input_;
  double b0_, a1_, a2_;
  State state_;
};

}  // namespace zarn
