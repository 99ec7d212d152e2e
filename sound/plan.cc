#include "sound/plan.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "keying/unit_length.h"
#include "render/classic/float_accumulator.h"
#include "sound/audible.h"

namespace zarn {
namespace {

constexpr double kPi = 3.14159265358979323846;
// The relative rounding of a single-precision value.
constexpr double kSinglePrecision = std::numeric_limits<float>::epsilon();
// Far past any sample count a format can hold; converts exactly.
constexpr double kSampleCountLimit = 0x1p62;

std::int64_t unit_count(std::span<const std::uint8_t> units) {
  return static_cast<std::int64_t>(units.size());
}

// `count` samples, truncated, and with `complete_frames` the silence that
// completes the format's last frame; nothing when the format cannot hold them.
std::optional<std::int64_t> sample_count(const SoundFormat& format, double count,
                                         bool complete_frames = false) {
  if (!(count < kSampleCountLimit)) return std::nullopt;
  auto samples = static_cast<std::int64_t>(count);
  if (complete_frames) samples = format.whole_frames(samples);
  if (!format.fits(samples)) return std::nullopt;
  return samples;
}

bool keys_anything(std::span<const std::uint8_t> units) {
  return std::any_of(units.begin(), units.end(), [](std::uint8_t unit) { return unit != 0; });
}

// Refuses a sound that would hold no tone, though it has units to send: a
// dot shorter than a sample, a level that rounds to silence, or a tone so low
// that its sine moves no sample within the sound's length.
std::optional<SoundRefusal> refuse_silence(double dot_seconds, const KeyedTone& tone,
                                           Encoding encoding, std::int64_t samples,
                                           double volume_db = 0) {
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

Result<SoundPlan, SoundRefusal> plan_classic(Container container,
                                             std::span<const std::uint8_t> units, float wpm,
                                             float freq) {
  const ClassicTone tone = classic_tone(wpm, freq);
  SoundFormat format = kClassicFormat;
  format.container = container;
  // The classic count is truncated, not rounded.
  const auto samples = sample_count(format, classic_samples(unit_count(units), tone.unit_seconds));
  if (!samples) return SoundTooLong{unit_count(units), wpm, container == Container::wav};
  const KeyedTone keyed{.frequency_hz = tone.tone_hz,
                        .sample_rate = kClassicRate,
                        .gain = 1,
                        .ramp_seconds = 0,
                        .first_sample = 1};
  if (auto refusal = refuse_silence(tone.unit_seconds, keyed, Encoding::u8, *samples)) {
    return *refusal;
  }
  if (*samples <= kAccumulatedSamples) {
    return SoundPlan{format, *samples, units, AccumulatedClassic{tone}};
  }
  return SoundPlan{format, *samples, units, KeyedSound{keyed, UnitGridTiming{tone.unit_seconds}}};
}

// The dot at the character speed, and the ramp within the speed's own
// rounding of it: never longer, so ramps cannot overlap.
Result<double, SoundRefusal> ramp_seconds(const SoundOptions& options, double character_wpm) {
  const double dot_ms = 1000 * kSecondsPerUnitAt1Wpm / character_wpm;
  if (options.ramp_ms > dot_ms * (1 + kSinglePrecision)) {
    return RampLongerThanDot{options.ramp_ms, dot_ms};
  }
  return std::min(options.ramp_ms, dot_ms) / 1000;
}

Result<SoundPlan, SoundRefusal> plan_with_options(const SoundOptions& options, Container container,
                                                  std::span<const std::uint8_t> units, float wpm,
                                                  float freq) {
  // The speed is read in single precision; a character speed written the
  // same way is the same speed.
  const double written_character_wpm = options.farnsworth_wpm.value_or(wpm);
  if (to_single(written_character_wpm) < wpm) {
    return CharacterSpeedBelowSpeed{written_character_wpm, wpm};
  }
  const double character_wpm = std::max<double>(written_character_wpm, wpm);
  const auto ramp = ramp_seconds(options, character_wpm);
  if (!ramp) return ramp.error();
  const double tone_hz = freq > 0 ? freq : kDefaultToneHz;
  const double half_rate = options.rate / 2.0;
  if (!(tone_hz < half_rate)) return ToneNotBelowHalfRate{tone_hz, half_rate};

  const TimelineTiming timing{.character_wpm = character_wpm,
                              .overall_wpm = wpm,
                              .word_gap_units = options.word_gap_units,
                              .lead_seconds = options.lead_ms / 1000};
  const double seconds = Timeline::length_seconds(units, timing) + options.tail_ms / 1000;
  const SoundFormat format{options.rate, options.encoding, container};
  // Silence completes the last frame and keeps the data even: no pad byte,
  // in WAV and raw alike.
  const auto samples = sample_count(format, std::round(seconds * options.rate), true);
  if (!samples) return SoundTooLong{unit_count(units), wpm, container == Container::wav};
  const KeyedTone tone{.frequency_hz = tone_hz,
                       .sample_rate = double(options.rate),
                       .gain = std::pow(10.0, options.volume_db / 20),
                       .ramp_seconds = *ramp,
                       .first_sample = 0};
  const double dot_seconds = kSecondsPerUnitAt1Wpm / character_wpm;
  if (auto refusal =
          refuse_silence(dot_seconds, tone, options.encoding, *samples, options.volume_db)) {
    return *refusal;
  }
  return SoundPlan{format, *samples, units, KeyedSound{tone, timing}};
}

Result<SoundPlan, SoundRefusal> plan_checked(const SoundOptions& options, Container container,
                                             std::span<const std::uint8_t> units, float wpm,
                                             float freq) {
  if (!(wpm > 0)) return SpeedNotPositive{wpm};
  if (!keys_anything(units)) return NothingToSend{};
  if (options.is_classic()) return plan_classic(container, units, wpm, freq);
  return plan_with_options(options, container, units, wpm, freq);
}

}  // namespace

Result<SoundPlan, SoundRefusal> plan_sound(const SoundOptions& options, Container container,
                                           std::span<const std::uint8_t> units, float wpm,
                                           float freq) {
  auto plan = plan_checked(options, container, units, wpm, freq);
  if (plan && !holds_tone(*plan)) return SoundRefusal(NoSampleSounds{});
  return plan;
}

}  // namespace zarn
