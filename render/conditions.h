// Band conditions over the keyed signal: the signal fades, the receiver's
// noise is added, and the sum is scaled so that its peak fits.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "keying/timeline.h"
#include "render/fading.h"
#include "render/keyed_renderer.h"
#include "render/noise.h"

namespace zarn {

// The other station: its calls' units (the caller's, kept alive by it),
// keyed by the timeline on a tone of its own, weaker, never faded.
struct QrmSettings {
  KeyedTone tone;
  TimelineTiming timing;
  std::span<const std::uint8_t> units;
};

struct ConditionsSettings {
  std::optional<NoiseBand> noise;
  double noise_input = 0;  // the white noise's deviation before the filter
  std::optional<FadeShape> fade;
  std::optional<QrmSettings> qrm;
  std::uint64_t seed = 0;
  double scale = 1;  // of the sum: at most 1, so that nothing clips
};

// The seeds of the noise and the fading, apart from each other and from the
// practice set's draws on the same seed.
std::uint64_t noise_seed(std::uint64_t seed);
std::uint64_t fade_seed(std::uint64_t seed);
std::uint64_t qrm_seed(std::uint64_t seed);

class Conditions {
 public:
  explicit Conditions(const ConditionsSettings& settings);

  // The next run of the signal, silence as 0: faded (or scaled) where it
  // sounds. Every sample passes through here once, in order.
  void take_signal(std::span<double> run, bool sounding);
  // Then the other station and the noise are added over the same samples,
  // which become the samples heard.
  void add_band(std::span<double> values);

 private:
  void add_qrm(std::span<double> values);

  std::optional<BandNoise> noise_;
  std::optional<KeyedRenderer> qrm_;
  std::unique_ptr<Oscillator::Block> qrm_values_;
  std::optional<Fading> fading_;
  double scale_;
};

}  // namespace zarn
