#include "sound/plan.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "keying/dfcw_timeline.h"
#include "keying/timeline.h"
#include "keying/unit_length.h"
#include "render/classic/float_accumulator.h"
#include "sound/audible.h"
#include "sound/beacon_plan.h"
#include "sound/conditions_plan.h"
#include "sound/inline_check.h"
#include "sound/plan_checks.h"

namespace zarn {
namespace {

// The relative rounding of a single-precision value.
constexpr double kSinglePrecision = std::numeric_limits<float>::epsilon();

bool keys_anything(std::span<const std::uint8_t> units) {
  return std::any_of(units.begin(), units.end(), [](std::uint8_t unit) { return unit != 0; });
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
                                                  float freq,
                                                  std::span<const InlineChange> changes) {
  // The speed is read in single precision; a character speed written the
  // same way is the same speed. A dot given in seconds is the speed exactly.
  const double speed_wpm =
      options.dot_seconds ? kSecondsPerUnitAt1Wpm / *options.dot_seconds : double(wpm);
  const double written_character_wpm = options.farnsworth_wpm.value_or(speed_wpm);
  if (to_single(written_character_wpm) < wpm) {
    return CharacterSpeedBelowSpeed{written_character_wpm, wpm};
  }
  const double character_wpm = std::max(written_character_wpm, speed_wpm);
  const auto ramp = ramp_seconds(options, character_wpm);
  if (!ramp) return ramp.error();
  const double tone_hz = freq > 0 ? freq : kDefaultToneHz;
  const double half_rate = options.rate / 2.0;
  if (!(tone_hz < half_rate)) return ToneNotBelowHalfRate{tone_hz, half_rate};

  const TimelineTiming timing{.character_wpm = character_wpm,
                              .overall_wpm = speed_wpm,
                              .word_gap_units = options.word_gap_units,
                              .lead_seconds = options.lead_ms / 1000,
                              .character_follows = !options.farnsworth_wpm};
  if (auto refusal = check_changes(changes, options,
                                   {speed_wpm, character_wpm, timing.character_follows, *ramp})) {
    return *refusal;
  }
  KeyedTone tone{.frequency_hz = tone_hz,
                 .sample_rate = double(options.rate),
                 .gain = std::pow(10.0, options.volume_db / 20),
                 .ramp_seconds = *ramp,
                 .first_sample = 0};
  tone.changes = !changes.empty();
  if (options.is_beacon()) {
    TimelineTiming copy_timing = timing;
    copy_timing.lead_seconds = 0;  // the layout's, once before the first copy
    return plan_beacon(options, container, units, wpm, tone, copy_timing);
  }
  const double seconds = Timeline::length_seconds(units, timing, changes) + options.tail_ms / 1000;
  const SoundFormat format{options.rate, options.encoding, container, options.bitrate_kbps};
  // Silence completes the last frame and keeps the data even: no pad byte,
  // in WAV and raw alike.
  const auto samples = sample_count(format, std::round(seconds * options.rate), true);
  if (!samples) return SoundTooLong{unit_count(units), wpm, container == Container::wav};
  const double dot_seconds = kSecondsPerUnitAt1Wpm / character_wpm;
  if (auto refusal =
          refuse_silence(dot_seconds, tone, options.encoding, *samples, options.volume_db)) {
    return *refusal;
  }
  return SoundPlan{format, *samples, units, KeyedSound{tone, timing}, changes};
}

Result<SoundPlan, SoundRefusal> plan_checked(const SoundOptions& options, Container container,
                                             std::span<const std::uint8_t> units, float wpm,
                                             float freq, std::span<const InlineChange> changes) {
  if (!(wpm > 0)) return SpeedNotPositive{wpm};
  if (!keys_anything(units)) return NothingToSend{};
  if (options.is_classic() && changes.empty()) return plan_classic(container, units, wpm, freq);
  return plan_with_options(options, container, units, wpm, freq, changes);
}

// The highest level a tone reaches: the sound's own, or a change's.
double peak_gain(double gain, std::span<const InlineChange> changes) {
  for (const InlineChange& change : changes) {
    if (change.kind == InlineChange::Kind::volume) {
      gain = std::max(gain, std::pow(10.0, change.value / 20));
    }
  }
  return gain;
}

Result<SoundPlan, SoundRefusal> with_conditions(SoundPlan plan, const SoundOptions& options,
                                                std::span<const InlineChange> changes,
                                                std::span<const std::uint8_t> qrm_units) {
  if (!options.has_conditions()) return plan;
  const KeyedTone& tone = std::get<KeyedSound>(plan.renderer).tone;
  const ToneLevels levels{tone.frequency_hz, tone.gain, peak_gain(tone.gain, changes),
                          tone.ramp_seconds};
  auto conditions = plan_conditions(options, levels, qrm_units);
  if (!conditions) return conditions.error();
  plan.conditions = *conditions;
  return plan;
}

}  // namespace

Result<SoundPlan, SoundRefusal> plan_sound(const SoundOptions& options, Container container,
                                           std::span<const std::uint8_t> units, float wpm,
                                           float freq, std::span<const InlineChange> changes,
                                           std::span<const std::uint8_t> qrm_units) {
  auto plan = plan_checked(options, container, units, wpm, freq, changes);
  if (plan && !holds_tone(*plan)) return SoundRefusal(NoSampleSounds{});
  if (!plan) return plan;
  return with_conditions(*std::move(plan), options, changes, qrm_units);
}

}  // namespace zarn
