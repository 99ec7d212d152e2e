// The renderer's fast paths against the plain one-sample-at-a-time loop.
#include "render/classic/tone_renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "morse/callsign.h"
#include "render/classic/float_accumulator.h"
#include "render/classic/sine.h"
#include "support/every_kernel.h"
#include "support/plain_sample_loop.h"

namespace zarn {
namespace {

TEST(FloatAccumulator, StretchesMatchStepByStepAddition) {
  const struct {
    float start;
    float step;
  } kCases[] = {
      {0, 0.7761943f},      // the default tone's phase step
      {0, 9.0702946e-05f},  // the sample clock, which stalls at 2048 s
      {0, 0x1p-3f},         // exact steps: ties in every binade past 2^21
      {0, 0x1.000002p-3f},   {1e-40f, 3e-39f},
      {1000.0f, 0x1.8p-14f}, {3e38f, 1e37f},  // runs off the float range
  };
  for (const auto& c : kCases) {
    FloatAccumulator fast(c.start, c.step);
    float plain = c.start;
    std::size_t steps = 0;
    while (steps < 3'000'000) {
      const Stretch s = fast.take(3'000'000 - steps);
      ASSERT_GT(s.count, 0u);
      for (std::size_t i = 1; i <= s.count; ++i) {
        plain = static_cast<float>(double{plain} + c.step);
        ASSERT_EQ(static_cast<float>(s.start + double(i) * s.step), plain)
            << c.start << " + " << c.step << ", step " << steps + i;
      }
      steps += s.count;
    }
    EXPECT_EQ(fast.value(), plain);
  }
}

TEST(FloatAccumulator, StopsJustBelowTheBound) {
  FloatAccumulator t(0, 9.0702946e-05f);
  const std::size_t taken = t.advance_below(1'000'000, 0.5f);
  EXPECT_LT(t.value(), 0.5f);
  EXPECT_GE(static_cast<float>(double{t.value()} + 9.0702946e-05f), 0.5f);
  EXPECT_EQ(taken, 5512u);
  EXPECT_EQ(t.advance_below(10, 0.5f), 0u);
}

// Named after the class it tests, which the tests below therefore name in full.
struct ToneRenderer : testing::EveryKernel {};
ZARN_EVERY_KERNEL(ToneRenderer);

TEST_P(ToneRenderer, MatchesThePlainSampleLoop) {
  std::mt19937 random(20261209);
  const char* kCallsigns[] = {"E", "Q1ABC/M", "0000000000", "T", "K0DEF", "EA9/K1"};
  for (int round = 0; round < 60; ++round) {
    const char* callsign = kCallsigns[random() % std::size(kCallsigns)];
    const float wpm = std::uniform_real_distribution<float>(3, 60)(random);
    const float freq = std::uniform_real_distribution<float>(-100, 6000)(random);
    const auto encoded = encode_callsign(callsign);
    ASSERT_TRUE(encoded);
    const MorseUnits& units = *encoded;
    const ClassicTone plan = classic_tone(wpm, freq);
    const auto count = static_cast<std::size_t>(
        classic_samples(static_cast<std::int64_t>(units.units.size()), plan.unit_seconds));
    std::vector<std::uint8_t> fast(count);
    zarn::ToneRenderer renderer(plan, units.units);
    // Uneven pieces, as a writer might ask for them.
    for (std::size_t done = 0, piece = 1; done < fast.size(); piece = piece * 3 + 1) {
      const std::size_t n = std::min(piece, fast.size() - done);
      renderer.fill(std::span(fast).subspan(done, n));
      done += n;
    }
    EXPECT_TRUE(fast == testing::plain_sample_loop(plan, count, units))
        << callsign << " at " << wpm << " wpm, " << freq << " Hz";
  }
}

struct ToneSamples : testing::EveryKernel {};
ZARN_EVERY_KERNEL(ToneSamples);

TEST_P(ToneSamples, AgreeWithStdSin) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    // A stretch of consecutive floats from a random binade below the limit.
    const int e = std::uniform_int_distribution<int>(-30, 22)(random);
    const double ulp = std::ldexp(1.0, e - 23);
    const double start = std::ldexp(1.0, e) + ulp * double(random() % (1u << 22));
    std::vector<std::uint8_t> out(50'000);
    tone_samples(start, ulp, out);
    for (std::size_t i = 0; i < out.size(); ++i) {
      const float phase = static_cast<float>(start + double(i + 1) * ulp);
      ASSERT_EQ(out[i], tone_sample(phase)) << "at " << phase;
    }
  }
  // Out of range and off the float range: the C library's sine decides.
  std::vector<std::uint8_t> far(40);
  tone_samples(0x1p24, 2.0, far);
  EXPECT_EQ(far[0], tone_sample(0x1p24f + 2.0f));
  tone_samples(INFINITY, 0.0, far);
  EXPECT_EQ(far[39], 128);
}

}  // namespace
}  // namespace zarn
