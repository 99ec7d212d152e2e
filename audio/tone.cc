#include <bit>
#include <cmath>
#include <limits>

#include "audio/audio.h"

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
constexpr float kPeakAmplitude = 127.0f;
static_assert(std::bit_cast<std::uint32_t>(kSecondsPerUnitAt1Wpm) == 0x3F99999A);
static_assert(std::bit_cast<std::uint32_t>(kSamplesPerSecond) == 0x462C4400);
static_assert(std::bit_cast<std::uint32_t>(kSamplePeriod) == 0x38BE37C6);
static_assert(std::bit_cast<std::uint32_t>(kTwoPi) == 0x40C90FDB);
static_assert(std::bit_cast<std::uint32_t>(kDefaultToneHz) == 0x44AA3F34);
static_assert(std::bit_cast<std::uint32_t>(kPeakAmplitude) == 0x42FE0000);

constexpr std::uint8_t kSilence = 128;

// The header's sizes are signed 32-bit and the RIFF size is n + 36.
constexpr double kMaxSamples = std::numeric_limits<std::int32_t>::max() - 36.0;

// Rounds a double to single precision as the hardware does, but saturates to
// infinity explicitly: converting an out-of-range double is undefined.
float to_single(double x) {
  // Halfway between FLT_MAX and 2^128: from here on, rounding gives infinity.
  constexpr double kOverflow = 0x1.ffffffp127;
  if (x >= kOverflow) return std::numeric_limits<float>::infinity();
  if (x <= -kOverflow) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(x);
}

std::uint8_t sample_byte(double phase) {
  const double v = kPeakAmplitude * std::sin(phase);
  // An oscillator driven past the float range has no phase left; stay silent
  // rather than convert a NaN.
  if (!(std::fabs(v) <= kPeakAmplitude)) return kSilence;
  return static_cast<std::uint8_t>(static_cast<int>(std::round(v)) + kSilence);
}

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

void Synth::fill(std::span<std::uint8_t> out) {
  const double units_end = double(units_.size()) + 1;
  for (auto& byte : out) {
    phase_ = to_single(double{phase_} + tone_.dphi);
    t_ = to_single(double{t_} + kSamplePeriod);
    // 1-based number of the unit this sample falls in, by the accumulated t.
    const double j = double{t_} / tone_.dot + 1;
    const bool key_down = j < units_end && units_[static_cast<std::size_t>(j) - 1] != 0;
    byte = key_down ? sample_byte(phase_) : kSilence;
  }
}

}  // namespace zarn
