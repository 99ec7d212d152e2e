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
#include "sound/conditions_plan.h"
#include "sound/inline_check.h"

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

// Options a beacon's other settings leave without meaning, refused rather
// than ignored.
std::optional<SoundRefusal> refuse_beacon_options(const SoundOptions& options) {
  const SoundOptions defaults;
  const bool dfcw = options.mode == KeyMode::dfcw;
  if (dfcw && options.farnsworth_wpm) return DoesNotApply{"farnsworth", "to --mode dfcw"};
  if (dfcw && options.word_gap_units != defaults.word_gap_units) {
    return DoesNotApply{"word-gap", "to --mode dfcw"};
  }
  if (!dfcw && options.element_gap_dots != defaults.element_gap_dots) {
    return DoesNotApply{"element-gap", "without --mode dfcw"};
  }
  if (options.mode == KeyMode::on_off && options.shift_hz != defaults.shift_hz) {
    return DoesNotApply{"shift", "to --mode on-off"};
  }
  if (options.carrier_first && options.carrier_seconds == 0) {
    return DoesNotApply{"carrier-first", "without --carrier"};
  }
  if (options.repeats == 1 && options.repeat_gap_seconds != 0) {
    return DoesNotApply{"gap", "without --repeat"};
  }
  return std::nullopt;
}

// Seconds as whole samples, rounded up; nothing past any format.
std::optional<std::int64_t> samples_in(double seconds, double rate) {
  const double count = std::ceil(seconds * rate);
  if (!(count < kSampleCountLimit)) return std::nullopt;
  return static_cast<std::int64_t>(count);
}

// The voice 1 tone: FSK's key-up below the tone, DFCW's dash above it.
Result<double, SoundRefusal> second_tone(const SoundOptions& options, double tone_hz) {
  if (options.mode == KeyMode::on_off) return 0.0;
  if (options.mode == KeyMode::fsk) {
    if (!(tone_hz - options.shift_hz > 0)) return KeyUpToneNotAboveZero{tone_hz, options.shift_hz};
    return tone_hz - options.shift_hz;
  }
  const double half_rate = options.rate / 2.0;
  if (!(tone_hz + options.shift_hz < half_rate)) {
    return ToneNotBelowHalfRate{tone_hz + options.shift_hz, half_rate};
  }
  return tone_hz + options.shift_hz;
}

// One copy's message schedule, its length and where its carrier goes.
struct BeaconCopy {
  std::variant<TimelineTiming, DfcwTiming> message;
  double seconds;
  double carrier_down;
  double carrier_up;
};

BeaconCopy beacon_copy(const SoundOptions& options, std::span<const std::uint8_t> units,
                       TimelineTiming timing, double ramp) {
  const double dot = kSecondsPerUnitAt1Wpm / timing.character_wpm;
  const bool dfcw = options.mode == KeyMode::dfcw;
  const double carrier = options.carrier_seconds;
  // A character gap parts a carrier that goes first from the message.
  timing.lead_seconds = options.carrier_first && carrier > 0 ? carrier + (dfcw ? 1 : 3) * dot : 0;
  BeaconCopy copy{timing, Timeline::length_seconds(units, timing), 0, carrier};
  if (dfcw) {
    const DfcwTiming dfcw_timing{dot, options.element_gap_dots, timing.lead_seconds};
    copy.message = dfcw_timing;
    copy.seconds = DfcwTimeline::length_seconds(units, dfcw_timing);
  }
  if (carrier > 0 && !options.carrier_first) {
    // The carrier's fall ends inside the copy.
    copy.carrier_down = copy.seconds;
    copy.carrier_up = copy.seconds + carrier;
    copy.seconds += carrier + ramp;
  }
  return copy;
}

// The whole file in samples: the lead, the copies a gap apart, the tail.
std::optional<BeaconLayout> beacon_layout(const SoundOptions& options, const BeaconCopy& copy) {
  const double rate = options.rate;
  const auto lead = samples_in(options.lead_ms / 1000, rate);
  const auto length = samples_in(copy.seconds, rate);
  const auto gap = samples_in(options.repeat_gap_seconds, rate);
  const auto tail = samples_in(options.tail_ms / 1000, rate);
  if (!lead || !length || !gap || !tail) return std::nullopt;
  const double copies = options.repeats;
  const double total = static_cast<double>(*lead) + copies * static_cast<double>(*length) +
                       (copies - 1) * static_cast<double>(*gap) + static_cast<double>(*tail);
  if (!(total < kSampleCountLimit)) return std::nullopt;
  return BeaconLayout{.lead_samples = *lead,
                      .copy_samples = *length,
                      .gap_samples = *gap,
                      // The option's range keeps it whole and small.
                      .copies = static_cast<std::int64_t>(copies),
                      .total_samples = static_cast<std::int64_t>(total),
                      .carrier_down_seconds = copy.carrier_down,
                      .carrier_up_seconds = copy.carrier_up,
                      .carrier_first = options.carrier_first,
                      .fill_key_up = options.mode == KeyMode::fsk};
}

// FSK's carrier is never keyed, so it has no ramps; DFCW's must fit in the
// gap between elements, where a dot and a dash may meet.
Result<double, SoundRefusal> beacon_ramp(const SoundOptions& options, double ramp, double dot) {
  if (options.mode == KeyMode::fsk) return 0.0;
  if (options.mode == KeyMode::dfcw && ramp > options.element_gap_dots * dot) {
    return DoesNotApply{"ramp", "across a shorter --element-gap"};
  }
  return ramp;
}

Result<SoundPlan, SoundRefusal> plan_beacon(const SoundOptions& options, Container container,
                                            std::span<const std::uint8_t> units, float wpm,
                                            KeyedTone tone, const TimelineTiming& timing) {
  if (auto refusal = refuse_beacon_options(options)) return *refusal;
  const auto second = second_tone(options, tone.frequency_hz);
  if (!second) return second.error();
  const double dot = kSecondsPerUnitAt1Wpm / timing.character_wpm;
  const auto ramp = beacon_ramp(options, tone.ramp_seconds, dot);
  if (!ramp) return ramp.error();
  const BeaconCopy copy = beacon_copy(options, units, timing, *ramp);
  const auto layout = beacon_layout(options, copy);
  const SoundFormat format{options.rate, options.encoding, container, options.bitrate_kbps};
  const auto samples =
      layout ? sample_count(format, double(layout->total_samples), true) : std::nullopt;
  if (!samples) return SoundTooLong{unit_count(units), wpm, container == Container::wav};
  tone.ramp_seconds = *ramp;
  tone.beacon = true;
  tone.second_hz = *second;
  tone.continuous_phase = options.mode == KeyMode::fsk;
  if (auto refusal = refuse_silence(dot, tone, options.encoding, *samples, options.volume_db)) {
    return *refusal;
  }
  return SoundPlan{format, *samples, units, KeyedSound{tone, BeaconTiming{*layout, copy.message}}};
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
  auto conditions = plan_conditions(options, levels, plan.sample_count, qrm_units);
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
