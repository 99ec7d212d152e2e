#include "audio/shaped_plan.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "audio/float_accumulator.h"
#include "audio/wav_header.h"

namespace zarn {
namespace {

constexpr double kMillisecondsPerUnitAt1Wpm = 1200;
// The relative rounding of a single-precision value.
constexpr double kSinglePrecision = std::numeric_limits<float>::epsilon();

ToneRefusal refusal(ToneRefusal::Reason reason, float wpm, std::span<const std::uint8_t> units,
                    double value = 0, double limit = 0) {
  return {reason, wpm, static_cast<int>(units.size()), value, limit};
}

// round(seconds x rate), or nothing when that is no sample count a header
// can hold.
std::optional<std::int64_t> sample_count(double seconds, const SoundOptions& options) {
  const double samples = std::round(seconds * options.rate);
  if (!(samples <= std::numeric_limits<std::int32_t>::max())) return std::nullopt;
  const WavHeader header{{options.rate, options.encoding}, std::int64_t(samples), true};
  if (!header.fits()) return std::nullopt;
  return header.sample_count;
}

}  // namespace

std::variant<ShapedSound, ToneRefusal> plan_shaped(const SoundOptions& options,
                                                   std::span<const std::uint8_t> units, float wpm,
                                                   float freq) {
  using Reason = ToneRefusal::Reason;
  if (!(wpm > 0)) return refusal(Reason::speed_not_positive, wpm, units);
  // The speed is read in single precision; a character speed written the
  // same way is the same speed, and a ramp of 1200 / wpm ms one dot.
  const double character_wpm = std::max<double>(options.farnsworth_wpm.value_or(wpm), wpm);
  if (to_single(options.farnsworth_wpm.value_or(wpm)) < wpm) {
    return refusal(Reason::character_speed_below_speed, wpm, units, *options.farnsworth_wpm);
  }
  const double dot_ms = kMillisecondsPerUnitAt1Wpm / character_wpm;
  if (options.ramp_ms > dot_ms * (1 + kSinglePrecision)) {
    return refusal(Reason::ramp_longer_than_dot, wpm, units, options.ramp_ms, dot_ms);
  }
  // Within the speed's own rounding of a dot; never longer, so ramps cannot
  // overlap.
  const double ramp_ms = std::min(options.ramp_ms, dot_ms);
  const double tone_hz = freq > 0 ? freq : kDefaultToneHz;
  const double half_rate = options.rate / 2.0;
  if (!(tone_hz < half_rate)) {
    return refusal(Reason::tone_not_below_half_rate, wpm, units, tone_hz, half_rate);
  }
  Keying keying = keying_from_units(units, character_wpm, wpm, options.lead_ms / 1000);
  const auto samples = sample_count(keying.end + options.tail_ms / 1000, options);
  if (!samples) return refusal(Reason::too_long, wpm, units);
  return ShapedSound{
      .sample_rate = double(options.rate),
      .encoding = options.encoding,
      .frequency_hz = tone_hz,
      .gain = std::pow(10.0, options.volume_db / 20),
      .ramp_seconds = ramp_ms / 1000,
      .keying = std::move(keying),
      .sample_count = *samples,
  };
}

}  // namespace zarn
