#include "render/keyed_renderer.h"

#include <algorithm>
#include <cmath>

#include "render/kernel.h"

namespace zarn {
namespace {

constexpr double kPi = 3.14159265358979323846;

// sin z for |z| <= pi / 2: its Taylor series through z^13, whose remainder
// there is below 7e-10, some 45 000 times finer than one s16 step. Unlike
// std::sin it vectorises.
[[gnu::always_inline]] inline double quarter_turn_sine(double z) {
  const double z2 = z * z;
  double p = 1.0 / 6227020800.0;
  p = p * z2 - 1.0 / 39916800.0;
  p = p * z2 + 1.0 / 362880.0;
  p = p * z2 - 1.0 / 5040.0;
  p = p * z2 + 1.0 / 120.0;
  p = p * z2 - 1.0 / 6.0;
  return z + z * z2 * p;
}

// The envelope of one ramp at sample first + i, with x = ((first + i) / rate
// - start) / ramp: rising (1 - cos(pi x)) / 2 or falling (1 + cos(pi x)) / 2.
// Both are (1 +- sin z) / 2 with z = pi (x - 1/2), which is
// (first + i - rate middle) pi / (rate ramp), middle being the instant
// half-way along the ramp; so z is one product per sample, and one odd
// series on [-pi/2, pi/2] serves both directions.
struct Ramp {
  double offset;  // first - rate middle: z / step at i = 0, in samples
  double step;    // pi / (rate ramp): z's advance per sample
  double half;    // +1/2 rising, -1/2 falling
};

Ramp ramp_from(std::int64_t first, double start, double rate, double ramp, bool rising) {
  const double middle = start + ramp / 2;
  return {static_cast<double>(first) - rate * middle, kPi / (rate * ramp), rising ? 0.5 : -0.5};
}

// Multiplies values[i] by the envelope of sample first + i.
[[gnu::always_inline]] inline void shape_by_ramp(const Ramp& ramp, std::span<double> values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    // render() takes fewer than 2^31 values, so i fits an int32, whose
    // conversion to double vectorises where a 64-bit one does not.
    const double z = (ramp.offset + static_cast<double>(static_cast<std::int32_t>(i))) * ramp.step;
    values[i] *= 0.5 + ramp.half * quarter_turn_sine(z);
  }
}

}  // namespace

KeyedRenderer::KeyedRenderer(const KeyedTone& tone, std::unique_ptr<KeySchedule> schedule)
    : tone_(tone),
      schedule_(std::move(schedule)),
      current_(schedule_->next_tone()),
      oscillator_(tone.frequency_hz, tone.sample_rate, tone.first_sample, tone.gain),
      next_(tone.first_sample),
      phase_origin_(tone.first_sample),
      since_(tone.first_sample),
      setting_hz_(tone.frequency_hz),
      setting_gain_(tone.gain) {
  if (tone.second_hz > 0) {
    second_ = std::make_unique<Oscillator>(tone.second_hz, tone.sample_rate, tone.first_sample,
                                           tone.gain);
  }
}

// Samples are asked for in order, so the tones are walked once, front to back.
KeyedRenderer::Stretch KeyedRenderer::stretch_at(std::int64_t k) {
  while (current_ && current_->silence <= k) current_ = schedule_->next_tone();
  if (!current_) return {kNeverSample, Shape::silent};
  if (k < current_->rise) return {current_->rise, Shape::silent};
  if (k < current_->steady) return {current_->steady, Shape::rising};
  if (k < current_->fall) return {current_->fall, Shape::steady};
  return {current_->silence, Shape::falling};
}

void KeyedRenderer::render(std::span<double> values, const RunVisitor& visit) {
  if (tone_.beacon) return render_beacon(values, visit);
  if (tone_.changes) return render_changing(values, visit);
  const std::int64_t end = next_ + static_cast<std::int64_t>(values.size());
  if (const Stretch first = stretch_at(next_); first.shape == Shape::silent && first.end >= end) {
    // Nothing sounds here: the oscillator only moves on.
    oscillator_.skip(static_cast<std::int64_t>(values.size()));
    next_ = end;
    return visit(0, values.size(), false);
  }
  // The oscillator takes its fastest path for every whole block in values.
  oscillator_.fill(values);
  for (std::int64_t k = next_; k < end;) {
    const Stretch stretch = stretch_at(k);
    const std::int64_t stop = std::min(stretch.end, end);
    const auto first = static_cast<std::size_t>(k - next_);
    const auto count = static_cast<std::size_t>(stop - k);
    apply_ramp(stretch, k, values.subspan(first, count));
    visit(first, count, stretch.shape != Shape::silent);
    k = stop;
  }
  next_ = end;
}

// Each stretch in turn, `take` setting up where a tone rises and `source`
// giving the oscillator to fill from, which runs on through silence.
template <class Take, class Source>
void KeyedRenderer::render_stretches(std::span<double> values, const RunVisitor& visit, Take take,
                                     Source source) {
  const std::int64_t end = next_ + static_cast<std::int64_t>(values.size());
  for (std::int64_t k = next_; k < end;) {
    const Stretch stretch = stretch_at(k);
    const std::int64_t stop = std::min(stretch.end, end);
    const auto first = static_cast<std::size_t>(k - next_);
    const auto count = static_cast<std::size_t>(stop - k);
    const bool sounding = stretch.shape != Shape::silent;
    if (sounding) {
      take(*current_, k);
      source().fill(values.subspan(first, count));
      apply_ramp(stretch, k, values.subspan(first, count));
    } else {
      source().skip(stop - k);
    }
    visit(first, count, sounding);
    k = stop;
  }
  next_ = end;
}

// Each stretch from its voice's oscillator, which alone moves on through
// silence.
void KeyedRenderer::render_beacon(std::span<double> values, const RunVisitor& visit) {
  render_stretches(
      values, visit, [this](const ToneSpan& span, std::int64_t k) { take_voice(span, k); },
      [this]() -> Oscillator& { return voice_oscillator(); });
}

// Each stretch so that a tone can take its own setting where it rises.
void KeyedRenderer::render_changing(std::span<double> values, const RunVisitor& visit) {
  render_stretches(
      values, visit, [this](const ToneSpan& span, std::int64_t k) { take_setting(span, k); },
      [this]() -> Oscillator& { return oscillator_; });
}

// A tone changes where its key goes down, where the envelope is still 0 with
// a ramp, and keeps the phase: no step but the ramp's own.
void KeyedRenderer::take_setting(const ToneSpan& span, std::int64_t k) {
  const double hz = span.tone_hz > 0 ? span.tone_hz : tone_.frequency_hz;
  const double gain = span.gain > 0 ? span.gain : tone_.gain;
  if (hz == setting_hz_ && gain == setting_gain_) return;
  oscillator_.retune(k, hz, gain);
  setting_hz_ = hz;
  setting_gain_ = gain;
}

// The phase at k, in turns times the rate, is the sum over the voices of
// each one's frequency times its samples, computed afresh at every change,
// so no rounding gathers however often the voice changes.
void KeyedRenderer::take_voice(const ToneSpan& span, std::int64_t k) {
  const bool restart = !tone_.continuous_phase && span.origin != phase_origin_;
  if (!restart && span.voice == voice_) return;
  const double rate = tone_.sample_rate;
  double phase = 0;
  std::int64_t from = k;
  if (restart) {
    voiced_ = {0, 0};
    phase_origin_ = from = span.origin;
  } else {
    voiced_[voice_] += k - since_;
    phase = std::fmod(cycle_position(tone_.frequency_hz, rate, voiced_[0]) +
                          cycle_position(tone_.second_hz, rate, voiced_[1]),
                      rate);
  }
  voice_ = span.voice;
  since_ = from;
  voice_oscillator().rephase(from, phase);
  voice_oscillator().skip(k - from);
}

void KeyedRenderer::apply_ramp(Stretch stretch, std::int64_t k, std::span<double> values) const {
  if (stretch.shape != Shape::rising && stretch.shape != Shape::falling) return;
  const bool rising = stretch.shape == Shape::rising;
  const Ramp ramp =
      ramp_from(k - current_->origin, rising ? current_->down_seconds : current_->up_seconds,
                tone_.sample_rate, tone_.ramp_seconds, rising);
  run_kernel([&] { shape_by_ramp(ramp, values); });
}

}  // namespace zarn
