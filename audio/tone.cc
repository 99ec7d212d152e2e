#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "audio/audio.h"
#include "audio/single_precision.h"

namespace zarn {
namespace {

// The tone's arithmetic is defined on these single-precision values; each is
// pinned to its bit pattern so a compiler or a reformatted literal cannot
// shift a single sample.
constexpr float kSecondsPerUnitAt1Wpm = 1.2f;
constexpr float kSamplesPerSecond = 11025.0f;
constexpr float kSamplePeriod = 9.0702946e-05f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kDefaultToneHz = 1361.97509765625f;
static_assert(std::bit_cast<std::uint32_t>(kSecondsPerUnitAt1Wpm) == 0x3F99999A);
static_assert(std::bit_cast<std::uint32_t>(kSamplesPerSecond) == 0x462C4400);
static_assert(std::bit_cast<std::uint32_t>(kSamplePeriod) == 0x38BE37C6);
static_assert(std::bit_cast<std::uint32_t>(kTwoPi) == 0x40C90FDB);
static_assert(std::bit_cast<std::uint32_t>(kDefaultToneHz) == 0x44AA3F34);

// The header's sizes are signed 32-bit and the RIFF size is n + 36.
constexpr double kMaxSamples = std::numeric_limits<std::int32_t>::max() - 36.0;

}  // namespace

std::variant<Tone, ToneRefusal> plan_tone(float wpm, float freq, int count) {
  if (!(wpm > 0)) return ToneRefusal{ToneRefusal::Reason::speed_not_positive, wpm, count};
  Tone tone;
  tone.dot = to_single(double{kSecondsPerUnitAt1Wpm} / wpm);
  // No units, no samples; also keeps 0 x infinity out of the product below.
  const double n = count == 0 ? 0.0 : double(count) * tone.dot * kSamplesPerSecond;
  if (!(n < kMaxSamples + 1)) return ToneRefusal{ToneRefusal::Reason::too_long, wpm, count};
  tone.samples = static_cast<std::int32_t>(n);  // truncation, not rounding
  const float f = freq > 0 ? freq : kDefaultToneHz;
  tone.dphi = to_single(double{f} * kTwoPi * kSamplePeriod);
  return tone;
}

Synth::Synth(const Tone& tone, std::span<const std::uint8_t> units)
    : dot_(tone.dot), units_(units), phase_(0, tone.dphi), t_(0, kSamplePeriod) {}

void Synth::fill(std::span<std::uint8_t> out) {
  while (!out.empty()) {
    const Segment segment = next_segment(out.size());
    render(out.first(segment.length), segment.key_down);
    out = out.subspan(segment.length);
  }
}

// A sample belongs to unit t / dot + 1 (1-based, truncated), t being the
// accumulated time. Time never runs backwards, so a unit is a run of samples
// that ends where t first reaches unit_end().
Synth::Segment Synth::next_segment(std::size_t limit) {
  if (past_last_unit_) return {limit, false};
  t_.skip(1);
  const double unit = double{t_.value()} / dot_ + 1;
  if (!(unit < double(units_.size()) + 1)) {
    past_last_unit_ = true;  // beyond the last unit the key stays up
    return {limit, false};
  }
  const auto index = static_cast<std::size_t>(unit);
  const std::size_t more = t_.advance_below(limit - 1, unit_end(double(index + 1)));
  return {1 + more, units_[index - 1] != 0};
}

// The smallest time at which a sample falls in `next_unit` or later.
float Synth::unit_end(double next_unit) const {
  const auto reaches = [&](float t) { return double{t} / dot_ + 1 >= next_unit; };
  constexpr float kInf = std::numeric_limits<float>::infinity();
  float t = to_single((next_unit - 1) * dot_);
  while (!reaches(t)) t = std::nextafter(t, kInf);
  while (t > 0 && reaches(std::nextafter(t, 0.0f))) t = std::nextafter(t, 0.0f);
  return t;
}

void Synth::render(std::span<std::uint8_t> out, bool key_down) {
  if (!key_down) {
    // The oscillator runs on through key-up time.
    phase_.skip(out.size());
    std::fill(out.begin(), out.end(), kSilence);
    return;
  }
  while (!out.empty()) {
    const Stretch phases = phase_.take(out.size());
    tone_samples(phases.start, phases.step, out.first(phases.count));
    out = out.subspan(phases.count);
  }
}

}  // namespace zarn
