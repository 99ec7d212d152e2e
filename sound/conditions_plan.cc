#include "sound/conditions_plan.h"

#include <cmath>

namespace zarn {
namespace {

// The noise power in the band that makes the ratio: the tone's power at
// full key-down, g^2 / 2, over 10^(ratio / 10).
double noise_input(const NoiseBand& band, double gain, double snr_db) {
  const double noise_power = gain * gain / 2 / std::pow(10.0, snr_db / 10);
  return std::sqrt(noise_power / BandNoise::band_power_gain(band));
}

}  // namespace

Result<std::optional<ConditionsSettings>, SoundRefusal> plan_conditions(const SoundOptions& options,
                                                                        double tone_hz, double gain,
                                                                        double peak_gain,
                                                                        std::int64_t samples) {
  const SoundOptions defaults;
  if (!options.noise_snr_db && options.bandwidth_hz != defaults.bandwidth_hz) {
    return DoesNotApply{"bandwidth", "without --noise"};
  }
  if (options.qsb_depth_db == 0 && options.qsb_rate_hz != defaults.qsb_rate_hz) {
    return DoesNotApply{"qsb-rate", "without --qsb"};
  }
  if (!options.has_conditions()) return std::optional<ConditionsSettings>();
  ConditionsSettings settings;
  settings.seed = options.seed;
  const double rate = options.rate;
  if (options.qsb_depth_db > 0)
    settings.fade = FadeShape{options.qsb_depth_db, options.qsb_rate_hz, rate};
  double peak = peak_gain;
  if (options.noise_snr_db) {
    settings.noise = NoiseBand{tone_hz, options.bandwidth_hz, rate};
    settings.noise_input = noise_input(*settings.noise, gain, *options.noise_snr_db);
    // The noise is drawn once to find its peak, so that the sum never clips
    // and is scaled no further than it must be.
    BandNoise probe(*settings.noise, noise_seed(options.seed), settings.noise_input);
    peak += probe.peak_over(samples);
  }
  // Above full level, the sum is brought down to it, just short so that no
  // rounding reaches past it.
  if (peak > 1) settings.scale = (1 - 0x1p-40) / peak;
  return std::optional(settings);
}

}  // namespace zarn
