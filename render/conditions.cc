#include "render/conditions.h"

#include <algorithm>

namespace zarn {

// Odd constants far from any multiple of SplitMix64's step that matters, so
// that the three streams never run into each other.
std::uint64_t noise_seed(std::uint64_t seed) {
  return seed ^ 0x6A09E667F3BCC909u;
}
std::uint64_t fade_seed(std::uint64_t seed) {
  return seed ^ 0xBB67AE8584CAA73Bu;
}
std::uint64_t qrm_seed(std::uint64_t seed) {
  return seed ^ 0x3C6EF372FE94F82Bu;
}

// The scale is taken in where each part's level is set: the signal's by the
// fading, the noise's and the other station's at their source, so that no
// pass over the sum is left for it.
Conditions::Conditions(const ConditionsSettings& settings) : scale_(settings.scale) {
  if (settings.noise) {
    noise_.emplace(*settings.noise, noise_seed(settings.seed), settings.noise_input * scale_);
  }
  if (settings.fade) fading_.emplace(*settings.fade, fade_seed(settings.seed), scale_);
  if (const auto& qrm = settings.qrm) {
    KeyedTone tone = qrm->tone;
    tone.gain *= scale_;
    qrm_.emplace(tone, std::make_unique<Timeline>(qrm->units, qrm->timing, tone.sample_rate,
                                                  tone.ramp_seconds));
    qrm_values_ = std::make_unique<Oscillator::Block>();
  }
}

void Conditions::add_qrm(std::span<double> values) {
  while (!values.empty()) {
    const std::size_t count = std::min(values.size(), Oscillator::kBlockSamples);
    const std::span<double> own(qrm_values_->values.data(), count);
    qrm_->render(own, [&](std::size_t first, std::size_t run, bool sounding) {
      if (!sounding) return;
      for (std::size_t i = first; i < first + run; ++i) values[i] += own[i];
    });
    values = values.subspan(count);
  }
}

void Conditions::take_signal(std::span<double> run, bool sounding) {
  if (fading_) {
    if (sounding) {
      fading_->apply(run);
    } else {
      fading_->skip(static_cast<std::int64_t>(run.size()));
    }
  } else if (sounding && scale_ != 1) {
    for (double& value : run) value *= scale_;
  }
}

void Conditions::add_band(std::span<double> values) {
  if (qrm_) add_qrm(values);
  if (noise_) noise_->add(values);
}

}  // namespace zarn
