#include "sound/conditions_plan.h"

#include <algorithm>
#include <cmath>

namespace zarn {
namespace {

// The noise power in the band that makes the ratio: the tone's power at
// full key-down, g^2 / 2, over 10^(ratio / 10).
double noise_input(const NoiseBand& band, double gain, double snr_db) {
  const double noise_power = gain * gain / 2 / std::pow(10.0, snr_db / 10);
  return std::sqrt(noise_power / BandNoise::band_power_gain(band));
}

Result<QrmSettings, SoundRefusal> plan_qrm(const SoundOptions& options, const ToneLevels& tone,
                                           std::span<const std::uint8_t> units) {
  if (options.is_beacon()) return DoesNotApply{"qrm", "to beacons (--mode, --carrier, --repeat)"};
  const double offset = kQrmOffset * options.bandwidth_hz;
  const double half_rate = options.rate / 2.0;
  double hz = tone.tone_hz + offset;
  if (!(hz < half_rate)) hz = tone.tone_hz - offset;
  if (!(hz > 0)) return DoesNotApply{"qrm", "where the band has no room for a second tone"};
  const double wpm = *options.qrm_wpm;
  // Ramps of its own, so that a hard-keyed sound does not key the other
  // station hard too; never longer than its dot.
  const double ramp = std::min(tone.ramp_seconds > 0 ? tone.ramp_seconds : 0.005, 1.2 / wpm);
  const KeyedTone keyed{.frequency_hz = hz,
                        .sample_rate = double(options.rate),
                        .gain = tone.gain * std::pow(10.0, kQrmLevelDb / 20),
                        .ramp_seconds = ramp,
                        .first_sample = 0};
  return QrmSettings{keyed, TimelineTiming{.character_wpm = wpm, .overall_wpm = wpm}, units};
}

}  // namespace

Result<std::optional<ConditionsSettings>, SoundRefusal> plan_conditions(
    const SoundOptions& options, const ToneLevels& tone, std::span<const std::uint8_t> qrm_units) {
  const double tone_hz = tone.tone_hz, gain = tone.gain;
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
  double peak = tone.peak_gain;
  if (options.qrm_wpm) {
    auto qrm = plan_qrm(options, tone, qrm_units);
    if (!qrm) return qrm.error();
    settings.qrm = *qrm;
    peak += qrm->tone.gain;
  }
  if (options.noise_snr_db) {
    settings.noise = NoiseBand{tone_hz, options.bandwidth_hz, rate};
    settings.noise_input = noise_input(*settings.noise, gain, *options.noise_snr_db);
    peak += BandNoise::peak(*settings.noise, settings.noise_input);
  }
  // Above full level, the sum is brought down to it, just short so that no
  // rounding reaches past it.
  if (peak > 1) settings.scale = (1 - 0x1p-40) / peak;
  return std::optional(settings);
}

}  // namespace zarn
