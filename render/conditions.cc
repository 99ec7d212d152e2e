#include "render/conditions.h"

namespace zarn {

// Odd constants far from any multiple of SplitMix64's step that matters, so
// that the three streams never run into each other.
std::uint64_t noise_seed(std::uint64_t seed) {
  return seed ^ 0x6A09E667F3BCC909u;
}
std::uint64_t fade_seed(std::uint64_t seed) {
  return seed ^ 0xBB67AE8584CAA73Bu;
}

Conditions::Conditions(const ConditionsSettings& settings) : scale_(settings.scale) {
  if (settings.noise)
    noise_.emplace(*settings.noise, noise_seed(settings.seed), settings.noise_input);
  if (settings.fade) fading_.emplace(*settings.fade, fade_seed(settings.seed));
}

void Conditions::apply(std::span<double> values) {
  if (fading_) fading_->apply(values);
  if (noise_) noise_->add(values);
  if (scale_ != 1) {
    for (double& value : values) value *= scale_;
  }
}

}  // namespace zarn
