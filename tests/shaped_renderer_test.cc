#include "audio/shaped_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "support/exact_sine.h"
#include "support/morse_units.h"

namespace zarn {
namespace {

// "KA" keyed with stretched gaps and an odd lead puts the edges between
// samples; at round numbers many fall on a sample, where hard keying must not
// slip by one.
ShapedSound sound_of(double rate, Encoding encoding, double frequency_hz, double ramp,
                     bool round_timing) {
  Keying keying = round_timing ? keying_from_units(testing::units_of("KA"), 20, 20, 0.5)
                               : keying_from_units(testing::units_of("KA"), 25, 15, 0.0123);
  const auto count = std::llround((keying.end + 0.05) * rate);
  return {rate, encoding, frequency_hz, 0.7079, ramp, std::move(keying), count};
}

// The formula written plainly, one sample at a time: g e(t) sin(2 pi f t).
double plain_value(const ShapedSound& sound, std::int64_t k) {
  const double kPi = 3.14159265358979323846;
  const double t = static_cast<double>(k) / sound.sample_rate;
  const double r = sound.ramp_seconds;
  double e = 0;
  for (const KeyDown& tone : sound.keying.tones) {
    if (t >= tone.start && t < tone.start + r) e = (1 - std::cos(kPi * (t - tone.start) / r)) / 2;
    if (t >= tone.start + r && t < tone.end) e = 1;
    if (t >= tone.end && t < tone.end + r) e = (1 + std::cos(kPi * (t - tone.end) / r)) / 2;
  }
  return sound.gain * e * testing::exact_sine(sound.frequency_hz, sound.sample_rate, k);
}

// Whether an encoded sample is within one step of the plain value; for the
// laws, whether it codes the plain s16 level or a neighbour.
bool within_one_step(Encoding encoding, const std::uint8_t* bytes, double v) {
  const long s16 = std::lround(32767 * v);
  if (encoding == Encoding::u8) return std::abs(bytes[0] - 128 - std::lround(127 * v)) <= 1;
  if (encoding == Encoding::s16)
    return std::abs(static_cast<std::int16_t>(bytes[0] | bytes[1] << 8) - s16) <= 1;
  for (const long level : {s16 - 1, s16, s16 + 1}) {
    const auto sample = static_cast<std::int16_t>(std::clamp(level, -32768L, 32767L));
    const std::uint8_t code = encoding == Encoding::ulaw ? ulaw_code(sample) : alaw_code(sample);
    if (bytes[0] == code) return true;
  }
  return false;
}

std::vector<std::uint8_t> render(const ShapedSound& sound) {
  const auto width = static_cast<std::size_t>(bytes_per_sample(sound.encoding));
  std::vector<std::uint8_t> out(static_cast<std::size_t>(sound.sample_count) * width);
  ShapedRenderer renderer(sound);
  for (std::size_t done = 0, piece = 5; done < out.size();
       done += piece * width, piece = piece * 3 + 1) {
    renderer.fill(std::span(out).subspan(done, std::min(piece * width, out.size() - done)));
  }
  EXPECT_EQ(renderer.remaining(), 0);
  return out;
}

TEST(ShapedRenderer, EverySampleIsWithinOneStepOfThePlainFormula) {
  for (const double rate : {8000.0, 11025.0, 16000.0, 48000.0, 192000.0}) {
    for (const Encoding encoding : {Encoding::u8, Encoding::s16, Encoding::ulaw, Encoding::alaw}) {
      for (const auto& [ramp, round_timing] :
           {std::pair{0.0, false}, {0.0, true}, {0.005, false}, {0.005, true}}) {
        const ShapedSound sound = sound_of(rate, encoding, 1234.5678, ramp, round_timing);
        const std::vector<std::uint8_t> out = render(sound);
        const auto width = static_cast<std::size_t>(bytes_per_sample(encoding));
        for (std::int64_t k = 0; k < sound.sample_count; ++k) {
          ASSERT_TRUE(within_one_step(encoding, &out[static_cast<std::size_t>(k) * width],
                                      plain_value(sound, k)))
              << rate << " Hz, encoding " << static_cast<int>(encoding) << ", ramp " << ramp
              << (round_timing ? " round" : "") << ", sample " << k;
        }
      }
    }
  }
}

// At a quarter of the rate every other sample is +-1, so the larger of two
// neighbours shows the envelope itself: half-way along a ramp it must be 1/2,
// give or take the 0.0065 that one sample moves it at 240 samples a ramp.
TEST(ShapedRenderer, TonesPassHalfAmplitudeHalfWayAlongTheirRamps) {
  const double rate = 48000;
  const double ramp = 0.005;
  const ShapedSound sound = sound_of(rate, Encoding::s16, rate / 4, ramp, false);
  const std::vector<std::uint8_t> out = render(sound);
  const auto envelope = [&](std::int64_t k) {
    const auto at = static_cast<std::size_t>(2 * k);
    return std::abs(static_cast<std::int16_t>(out[at] | out[at + 1] << 8)) / (32767 * sound.gain);
  };
  for (const KeyDown& tone : sound.keying.tones) {
    for (const double instant : {tone.start, tone.end}) {
      auto k = static_cast<std::int64_t>(std::ceil((instant + ramp / 2) * rate));
      if (static_cast<double>(k - 1) / rate >= instant + ramp / 2) --k;
      EXPECT_NEAR(std::max(envelope(k), envelope(k + 1)), 0.5, 0.014) << instant;
    }
  }
}

}  // namespace
}  // namespace zarn
