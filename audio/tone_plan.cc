#include "audio/tone_plan.h"

#include <bit>
#include <limits>

#include "audio/float_accumulator.h"
#include "audio/wav_header.h"

namespace zarn {
namespace {

// The tone's arithmetic is defined on these single-precision values; each is
// pinned to its bit pattern so a compiler or a reformatted literal cannot
// shift a single sample.
constexpr float kSecondsPerUnitAt1Wpm = 1.2f;
constexpr float kSamplesPerSecond = 11025.0f;
constexpr float kTwoPi = 6.2831855f;
static_assert(std::bit_cast<std::uint32_t>(kSecondsPerUnitAt1Wpm) == 0x3F99999A);
static_assert(std::bit_cast<std::uint32_t>(kSamplesPerSecond) == 0x462C4400);
static_assert(std::bit_cast<std::uint32_t>(kSamplePeriod) == 0x38BE37C6);
static_assert(std::bit_cast<std::uint32_t>(kTwoPi) == 0x40C90FDB);
static_assert(std::bit_cast<std::uint32_t>(kDefaultToneHz) == 0x44AA3F34);
static_assert(kSamplesPerSecond == kSampleRate);

}  // namespace

std::variant<TonePlan, ToneRefusal> plan_tone(float wpm, float freq, int units) {
  if (!(wpm > 0)) return ToneRefusal{ToneRefusal::Reason::speed_not_positive, wpm, units};
  TonePlan plan;
  plan.unit_seconds = to_single(double{kSecondsPerUnitAt1Wpm} / wpm);
  // No units, no samples; also keeps 0 x infinity out of the product below.
  const double n = units == 0 ? 0.0 : double(units) * plan.unit_seconds * kSamplesPerSecond;
  if (!(n < kMaxDataSize + 1.0)) return ToneRefusal{ToneRefusal::Reason::too_long, wpm, units};
  plan.sample_count = static_cast<std::int32_t>(n);  // truncation, not rounding
  plan.tone_hz = freq > 0 ? freq : kDefaultToneHz;
  plan.phase_step = to_single(double{plan.tone_hz} * kTwoPi * kSamplePeriod);
  return plan;
}

}  // namespace zarn
