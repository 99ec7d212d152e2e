// A receiver's noise: white noise drawn from the seed, through a band-pass
// filter centred on the tone, as a CW filter passes it. Only integer draws
// and the four operations of single-precision arithmetic, in a fixed order,
// so that a seed gives the same samples on every machine, with every kernel,
// and in the page.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace zarn {

// The filter: centred on the tone, its -3 dB points bandwidth_hz apart. The
// band over which its power is reckoned is the same width, cut at 0 Hz and
// at half the rate.
struct NoiseBand {
  double centre_hz;
  double bandwidth_hz;
  double sample_rate;
};

// The noise comes in stretches, each the filter's output once it has run
// from rest over a warm-up of its own white noise long enough that its start
// has died away (below -110 dB). Stretches do not wait on each other, so
// that eight are filtered at once, one a vector lane: a filter's samples
// otherwise follow each other one product and one sum apart. A stretch with
// a sample beyond kPeakDeviations of the noise's deviation is drawn again
// from other numbers (about one in 50,000 are), so that the level can leave
// room for the peak before a sample is drawn.
class BandNoise {
 public:
  // The white noise before the filter has a standard deviation of `input`.
  // `deviations` other than kPeakDeviations are for tests, which need
  // stretches drawn again often.
  BandNoise(const NoiseBand& band, std::uint64_t seed, double input,
            double deviations = kPeakDeviations);

  // Adds the next values.size() samples of the noise to values.
  void add(std::span<double> values);
  // No sample's magnitude reaches this: what the level must leave room for
  // so that nothing clips.
  static double peak(const NoiseBand& band, double input, double deviations = kPeakDeviations);
  double peak() const { return filter_.peak; }

  // The noise power within the band for white noise of unit variance at
  // the filter's input: the filter's squared response over the band, as a
  // share of the rate.
  static double band_power_gain(const NoiseBand& band);

  static constexpr int kLanes = 8;
  static constexpr double kPeakDeviations = 6;

 private:
  struct Filter {
    double gain;  // both sections' b0 and the white noise's scale
    double a1, a2;
    int warm_up;  // samples
    int stretch;  // samples
    std::uint64_t seed;
    double peak;
  };
  // Draws the `set`th run of kLanes stretches into set_, one a row, each
  // from its attempt's numbers; returns a bit for each lane that reached the
  // peak.
  unsigned draw(std::int64_t set, const int (&attempts)[kLanes + 1]);
  void draw_set(std::int64_t set);

  Filter filter_;
  std::unique_ptr<float[]> set_;
  std::int64_t next_set_ = 0;
  int last_attempt_ = 0;  // of the last stretch drawn
  std::int64_t at_;       // samples of set_ already given out
};

}  // namespace zarn
