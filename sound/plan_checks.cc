#include "sound/plan_checks.h"

#include <cmath>

#include "encode/encoding.h"

namespace zarn {
namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

std::optional<std::int64_t> sample_count(const SoundFormat& format, double count,
                                         bool complete_frames) {
  if (!(count < kSampleCountLimit)) return std::nullopt;
  auto samples = static_cast<std::int64_t>(count);
  if (complete_frames) samples = format.whole_frames(samples);
  if (!format.fits(samples)) return std::nullopt;
  return samples;
}

std::optional<SoundRefusal> refuse_silence(double dot_seconds, const KeyedTone& tone,
                                           Encoding encoding, std::int64_t samples,
                                           double volume_db) {
  if (!(dot_seconds * tone.sample_rate >= 1)) {
    return DotShorterThanSample{dot_seconds, tone.sample_rate};
  }
  const double quietest = quietest_value(encoding);
  if (!(tone.gain >= quietest)) {
    return LevelTooLow{volume_db, 20 * std::log10(quietest), encoding};
  }
  constexpr double kQuarterTurn = 0.25;
  const double turns = tone.frequency_hz * static_cast<double>(samples) / tone.sample_rate;
  const double peak = turns >= kQuarterTurn ? 1 : std::sin(2 * kPi * turns);
  if (!(tone.gain * peak >= quietest)) return ToneTooLow{tone.frequency_hz};
  return std::nullopt;
}

}  // namespace zarn
