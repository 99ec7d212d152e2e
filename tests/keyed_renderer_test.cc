#include "render/keyed_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "keying/unit_grid.h"
#include "support/every_kernel.h"
#include "support/exact_sine.h"
#include "support/keyed.h"
#include "support/morse_units.h"

namespace zarn {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A sound as a case: its tone and key, how long it runs, and its envelope
// at sample k written plainly.
struct Sound {
  KeyedTone tone;
  std::function<std::unique_ptr<KeySchedule>()> schedule;
  std::int64_t count;
  std::function<double(std::int64_t)> envelope;
};

// The classic unit grid: sample k (from 1) in unit floor(k / rate / dot).
Sound grid_sound(const char* text, float wpm, float tone_hz) {
  const auto units = std::make_shared<std::vector<std::uint8_t>>(testing::units_of(text));
  const float dot = 1.2f / wpm;
  // Past the last unit too, which must read key up.
  const auto count = static_cast<std::int64_t>(double(units->size()) * dot * 11025) + 500;
  return {{tone_hz, 11025, 1, 0, 1},
          [=] { return std::make_unique<UnitGrid>(dot, 11025, *units); },
          count,
          [=](std::int64_t k) {
            const double j = std::floor(double(k) / 11025 / dot);
            return j < double(units->size()) && (*units)[std::size_t(j)] != 0 ? 1.0 : 0.0;
          }};
}

// "KA" with stretched gaps and an odd lead puts the edges between samples;
// at round numbers many fall on a sample, where hard keying must not slip.
Sound timeline_sound(double rate, double ramp, bool round_timing) {
  const auto units = std::make_shared<std::vector<std::uint8_t>>(testing::units_of("KA"));
  const TimelineTiming timing =
      round_timing ? TimelineTiming{20, 20, 7, 0.5} : TimelineTiming{25, 15, 7, 0.0123};
  const testing::Instants instants = testing::instants_of(*units, timing);
  return {{1234.5678, rate, 0.7079, ramp, 0},
          [=] { return std::make_unique<Timeline>(*units, timing, rate, ramp); },
          std::llround((instants.end + 0.05) * rate),
          [=](std::int64_t k) {
            const double t = double(k) / rate;
            double e = 0;
            for (const auto& [down, up] : instants.tones) {
              if (t >= down && t < down + ramp) e = (1 - std::cos(kPi * (t - down) / ramp)) / 2;
              if (t >= down + ramp && t < up) e = 1;
              if (t >= up && t < up + ramp) e = (1 + std::cos(kPi * (t - up) / ramp)) / 2;
            }
            return e;
          }};
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

// Named after the class it tests, which the tests below therefore name in full.
struct KeyedRenderer : testing::EveryKernel {};
ZARN_EVERY_KERNEL(KeyedRenderer);

// g e(k) sin(2 pi f k / rate), sample by sample, for both keys.
TEST_P(KeyedRenderer, EverySampleIsWithinOneStepOfThePlainFormula) {
  std::vector<std::pair<Sound, Encoding>> cases;
  for (const auto& [text, wpm, tone_hz] : {std::tuple{"Q1ABC", 20.0f, 1361.97509765625f},
                                           {"0000000000", 5.0f, 2500.3f},
                                           {"E E", 60.0f, 440.0f},
                                           // A unit of exactly 1 s: boundaries on samples.
                                           {"KE", 1.2f, 1234.56f}}) {
    cases.emplace_back(grid_sound(text, wpm, tone_hz), Encoding::u8);
  }
  for (const double rate : {8000.0, 11025.0, 48000.0, 192000.0}) {
    for (const Encoding encoding : {Encoding::u8, Encoding::s16, Encoding::ulaw, Encoding::alaw}) {
      for (const auto& [ramp, round_timing] :
           {std::pair{0.0, false}, {0.0, true}, {0.005, false}, {0.005, true}}) {
        cases.emplace_back(timeline_sound(rate, ramp, round_timing), encoding);
      }
    }
  }
  for (const auto& [sound, encoding] : cases) {
    const auto out = testing::render_keyed(sound.tone, sound.schedule(), encoding, sound.count);
    const auto width = static_cast<std::size_t>(bytes_per_sample(encoding));
    for (std::int64_t i = 0; i < sound.count; ++i) {
      const std::int64_t k = i + sound.tone.first_sample;
      const double v = sound.tone.gain * sound.envelope(k) *
                       testing::exact_sine(sound.tone.frequency_hz, sound.tone.sample_rate, k);
      ASSERT_TRUE(within_one_step(encoding, &out[static_cast<std::size_t>(i) * width], v))
          << sound.tone.sample_rate << " Hz, encoding " << static_cast<int>(encoding) << ", ramp "
          << sound.tone.ramp_seconds << ", sample " << k;
    }
  }
}

// At a quarter of the rate every other sample is +-1, so the larger of two
// neighbours shows the envelope itself: half-way along a ramp it must be 1/2,
// give or take the 0.0065 that one sample moves it at 240 samples a ramp.
TEST_P(KeyedRenderer, TonesPassHalfAmplitudeHalfWayAlongTheirRamps) {
  const double rate = 48000;
  const double ramp = 0.005;
  const auto units = testing::units_of("KA");
  const TimelineTiming timing{25, 15, 7, 0.0123};
  const KeyedTone tone{rate / 4, rate, 0.7079, ramp, 0};
  const auto count = std::llround((testing::instants_of(units, timing).end + 0.05) * rate);
  const auto out = testing::render_keyed(
      tone, std::make_unique<Timeline>(units, timing, rate, ramp), Encoding::s16, count);
  const auto envelope = [&](std::int64_t k) {
    const auto at = static_cast<std::size_t>(2 * k);
    return std::abs(static_cast<std::int16_t>(out[at] | out[at + 1] << 8)) / (32767 * tone.gain);
  };
  for (const auto& [down, up] : testing::instants_of(units, timing).tones) {
    for (const double instant : {down, up}) {
      auto k = static_cast<std::int64_t>(std::ceil((instant + ramp / 2) * rate));
      if (static_cast<double>(k - 1) / rate >= instant + ramp / 2) --k;
      EXPECT_NEAR(std::max(envelope(k), envelope(k + 1)), 0.5, 0.014) << instant;
    }
  }
}

// At 0.1 wpm each unit is 12 s, at 0.4 wpm 3 s: hours of sound, where the
// single-precision accumulators had long stalled. Two samples in from where
// the units say each run begins and ends, a gap must be all silence and a
// tone must have no silence longer than its zero crossings make (two bytes
// of 128); the sound ends with a gap.
TEST_P(KeyedRenderer, KeepsTheGridsTimingDeepIntoALongSound) {
  for (const auto& [text, wpm] : {std::pair{"Q1ABC", 0.1f}, {"0000000000", 0.4f}}) {
    const std::vector<std::uint8_t> units = testing::units_of(text);
    const float dot = 1.2f / wpm;
    const double unit_samples = static_cast<double>(dot) * 11025;
    const auto count = static_cast<std::int64_t>(static_cast<double>(units.size()) * unit_samples);
    const auto out =
        testing::render_keyed({1361.97509765625, 11025, 1, 0, 1},
                              std::make_unique<UnitGrid>(dot, 11025, units), Encoding::u8, count);
    for (std::size_t unit = 0, end = 0; unit < units.size(); unit = end) {
      for (end = unit; end < units.size() && units[end] == units[unit];) ++end;
      const auto first = static_cast<std::size_t>(static_cast<double>(unit) * unit_samples) + 2;
      const auto last = static_cast<std::size_t>(static_cast<double>(end) * unit_samples) - 2;
      std::size_t silence = 0, longest = 0;
      for (std::size_t i = first; i < last; ++i) {
        silence = out[i] == 128 ? silence + 1 : 0;
        longest = std::max(longest, silence);
      }
      EXPECT_TRUE(units[unit] != 0 ? longest <= 2 : longest == last - first)
          << text << " unit " << unit << ": " << longest;
    }
    EXPECT_EQ(units.back(), 0) << text;
  }
}

// Upward zero crossings, interpolated, over the last minute of an hour.
TEST_P(KeyedRenderer, KeepsItsFrequencyAfterAnHour) {
  const double tone_hz = 1361.97509765625;
  const std::vector<std::uint8_t> an_hour_key_down(60, 1);
  zarn::KeyedRenderer renderer({tone_hz, 11025, 1, 0, 1},
                               std::make_unique<UnitGrid>(60.0, 11025, an_hour_key_down));
  std::vector<double> minute(60 * 11025);
  for (int i = 0; i < 60; ++i) renderer.render(minute, [](std::size_t, std::size_t, bool) {});
  double first = -1, last = -1;
  int crossings = 0;
  for (std::size_t i = 0; i + 1 < minute.size(); ++i) {
    const double a = minute[i], b = minute[i + 1];
    if (a > 0 || b <= 0) continue;
    last = static_cast<double>(i) + a / (a - b);
    if (crossings++ == 0) first = last;
  }
  EXPECT_NEAR((crossings - 1) / (last - first) * 11025, tone_hz, 0.1);
}

}  // namespace
}  // namespace zarn
