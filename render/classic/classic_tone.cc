#include "render/classic/classic_tone.h"

#include <bit>

#include "keying/unit_length.h"
#include "render/classic/float_accumulator.h"

namespace zarn {
namespace {

// Each constant is pinned to its bit pattern so that a compiler or a
// reformatted literal cannot shift a single sample.
constexpr float kSamplesPerSecond = 11025.0f;
constexpr float kTwoPi = 6.2831855f;
static_assert(std::bit_cast<std::uint32_t>(kSamplesPerSecond) == 0x462C4400);
static_assert(std::bit_cast<std::uint32_t>(kClassicSamplePeriod) == 0x38BE37C6);
static_assert(std::bit_cast<std::uint32_t>(kTwoPi) == 0x40C90FDB);
static_assert(std::bit_cast<std::uint32_t>(kDefaultToneHz) == 0x44AA3F34);
static_assert(kSamplesPerSecond == kClassicRate);

}  // namespace

ClassicTone classic_tone(float wpm, float freq) {
  ClassicTone tone;
  tone.unit_seconds = to_single(double{kClassicSecondsPerUnitAt1Wpm} / wpm);
  tone.tone_hz = freq > 0 ? freq : kDefaultToneHz;
  tone.phase_step = to_single(double{tone.tone_hz} * kTwoPi * kClassicSamplePeriod);
  return tone;
}

double classic_samples(std::int64_t units, float unit_seconds) {
  // No units, no samples; also keeps 0 x infinity out of the product.
  if (units == 0) return 0;
  return static_cast<double>(units) * unit_seconds * kSamplesPerSecond;
}

}  // namespace zarn
