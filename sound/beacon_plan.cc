#include "sound/beacon_plan.h"

#include <cmath>
#include <optional>
#include <variant>

#include "keying/dfcw_timeline.h"
#include "keying/unit_length.h"
#include "sound/plan_checks.h"

namespace zarn {
namespace {

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

}  // namespace

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

}  // namespace zarn
