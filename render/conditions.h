// Band conditions over the keyed signal: the signal fades, the receiver's
// noise is added, and the sum is scaled so that its peak fits.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "render/fading.h"
#include "render/noise.h"

namespace zarn {

struct ConditionsSettings {
  std::optional<NoiseBand> noise;
  double noise_input = 0;  // the white noise's deviation before the filter
  std::optional<FadeShape> fade;
  std::uint64_t seed = 0;
  double scale = 1;  // of the sum: at most 1, so that nothing clips
};

// The seeds of the noise and the fading, apart from each other and from the
// practice set's draws on the same seed.
std::uint64_t noise_seed(std::uint64_t seed);
std::uint64_t fade_seed(std::uint64_t seed);

class Conditions {
 public:
  explicit Conditions(const ConditionsSettings& settings);

  // The next values.size() samples of the signal, silence as 0, become the
  // samples heard.
  void apply(std::span<double> values);

 private:
  std::optional<BandNoise> noise_;
  std::optional<Fading> fading_;
  double scale_;
};

}  // namespace zarn
