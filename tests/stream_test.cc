#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <vector>

#include "encode/encoding.h"
#include "keying/unit_grid.h"
#include "morse/callsign.h"
#include "render/keyed_renderer.h"
#include "support/plain_sample_loop.h"
#include "support/render.h"

namespace zarn {
namespace {

using testing::render;

constexpr std::size_t kHeaderSize = 44;

std::vector<int> first_samples(const std::vector<std::uint8_t>& wav, std::size_t count) {
  return {wav.begin() + kHeaderSize, wav.begin() + kHeaderSize + count};
}

Result<SoundPlan, SoundRefusal> plan_units(std::size_t units, float wpm) {
  static std::vector<std::uint8_t> key_down;
  key_down.assign(units, 1);
  return plan_sound({}, Container::wav, key_down, wpm, 0);
}

std::int64_t samples_for(std::size_t units, float wpm) {
  return plan_units(units, wpm)->sample_count;
}

// A speed at which `units` are `samples` long: the count falls as the speed
// rises, one float step at a time.
float speed_for(const MorseUnits& units, std::int64_t samples) {
  const auto size = static_cast<std::int64_t>(units.units.size());
  const auto count = [&](float w) {
    return static_cast<std::int64_t>(classic_samples(size, classic_tone(w, 0).unit_seconds));
  };
  // Near it already: 1.2 / wpm seconds a unit at 11025 samples a second.
  float wpm = static_cast<float>(static_cast<double>(size) * 1.2 * 11025 / (samples + 0.5));
  while (count(wpm) > samples) wpm = std::nextafter(wpm, 1e9f);
  while (count(wpm) < samples) wpm = std::nextafter(wpm, 0.0f);
  return wpm;
}

TEST(WavOutput, HeaderOfE) {
  const auto wav = render("E", 20);
  const std::vector<std::uint8_t> expected = {
      0x52, 0x49, 0x46, 0x46, 0x7A, 0x0A, 0x00, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6D, 0x74,
      0x20, 0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x11, 0x2B, 0x00, 0x00, 0x11, 0x2B,
      0x00, 0x00, 0x01, 0x00, 0x08, 0x00, 0x64, 0x61, 0x74, 0x61, 0x56, 0x0A, 0x00, 0x00};
  EXPECT_EQ(std::vector<std::uint8_t>(wav.begin(), wav.begin() + kHeaderSize), expected);
}

TEST(WavOutput, WorkedExamples) {
  const struct {
    const char* callsign;
    float wpm;
    float freq;
    std::size_t file_size;
    std::vector<int> first;
  } kCases[] = {
      {"E", 20, 0, 2690, {217, 255, 220, 133}},
      {"A", 20, 0, 5336, {217, 255, 220, 133}},
      {"AB", 15, 800, 17684, {184, 228, 252, 251}},
      {"Q1ABC/M", 25, 600, 50847, {171, 208, 237, 252}},
      {"Q1ABC", 20, 0, 46349, {217, 255, 220, 133}},
  };
  for (const auto& c : kCases) {
    const auto wav = render(c.callsign, c.wpm, c.freq);
    EXPECT_EQ(wav.size(), c.file_size) << c.callsign;
    EXPECT_EQ(first_samples(wav, 4), c.first) << c.callsign;
  }
}

TEST(WavOutput, SampleCountTruncatesTowardZero) {
  EXPECT_EQ(samples_for(4, 20), 2646);    // 2646.0001
  EXPECT_EQ(samples_for(1, 20), 661);     // 661.50002: not rounded up
  EXPECT_EQ(samples_for(19, 19), 13229);  // 13229.9998: not rounded up
}

TEST(WavOutput, FrequencyNotAboveZeroSelectsTheDefaultTone) {
  const auto reference = render("Q1ABC", 20);
  EXPECT_EQ(render("Q1ABC", 20, 1361.97509765625f), reference);
  EXPECT_EQ(render("Q1ABC", 20, -0.0f), reference);
  EXPECT_EQ(render("Q1ABC", 20, -440), reference);
}

TEST(WavOutput, KeyedHardAroundSilenceAt128) {
  // E: one unit down, three up. Unit boundaries drift by a few samples with
  // the accumulated time, so stay clear of the edge.
  const auto wav = render("E", 20);
  const auto samples = std::vector<std::uint8_t>(wav.begin() + kHeaderSize, wav.end());
  EXPECT_TRUE(std::all_of(samples.begin() + 670, samples.end(), [](auto s) { return s == 128; }));
  EXPECT_GT(std::count_if(samples.begin(), samples.begin() + 655, [](auto s) { return s != 128; }),
            600);
  for (float freq : {0.0f, 600.0f, 5000.0f, 3e38f}) {
    const auto long_wav = render("Q1ABC/M", 10, freq);
    EXPECT_EQ(std::count(long_wav.begin() + kHeaderSize, long_wav.end(), 0), 0) << freq;
  }
}

TEST(WavOutput, LongSoundHasNoCeilingAndBlocksJoinSeamlessly) {
  const auto wav = render("Q1ABC/M", 15);
  EXPECT_EQ(wav.size(), 84716u);

  // The same samples computed in one piece, without the writer's blocks.
  const MorseUnits units = *encode_callsign("0000000000");
  const ClassicTone tone = classic_tone(5, 700);
  const auto blocked = render("0000000000", 5, 700);
  std::vector<double> values(blocked.size() - kHeaderSize);
  KeyedRenderer({tone.tone_hz, 11025, 1, 0, 1},
                std::make_unique<UnitGrid>(tone.unit_seconds, 11025, units.units))
      .render(values, [&](std::size_t first, std::size_t count, bool sounding) {
        if (!sounding) std::fill_n(values.begin() + std::ptrdiff_t(first), count, 0.0);
      });
  std::vector<std::uint8_t> whole(values.size());
  encode_samples(Encoding::u8, values, whole);
  EXPECT_TRUE(std::equal(whole.begin(), whole.end(), blocked.begin() + kHeaderSize));
}

TEST(WavOutput, ClassicArithmeticUpTo79956SamplesDriftFreeBeyond) {
  const MorseUnits units = *encode_callsign("Q1ABC/M");
  for (const std::int64_t n : {79'956, 79'957}) {
    const float wpm = speed_for(units, n);
    const auto bytes = render("Q1ABC/M", wpm, 0, Container::raw);
    ASSERT_EQ(bytes.size(), std::size_t(n));
    const ClassicTone tone = classic_tone(wpm, 0);
    const auto expected = n <= 79'956 ? testing::plain_sample_loop(tone, bytes.size(), units)
                                      : testing::plain_drift_free_loop(tone, bytes.size(), units);
    EXPECT_TRUE(bytes == expected) << n;
  }
}

TEST(WavOutput, RefusesSpeedsThatGiveNoUsableSound) {
  const struct {
    float wpm;
    std::size_t units;
    std::size_t reason;  // the index of the refusal
  } kCases[] = {
      {0.0f, 4, 0},     {-0.0f, 4, 0},  {-5.0f, 4, 0},  // SpeedNotPositive
      {0.001f, 220, 1}, {1e-45f, 4, 1},                 // SoundTooLong
  };
  for (const auto& c : kCases) {
    const auto plan = plan_units(c.units, c.wpm);
    ASSERT_FALSE(plan) << c.wpm;
    EXPECT_EQ(plan.error().index(), c.reason) << c.wpm;
  }
  // One unit at the slowest speeds around the edge of the header's signed
  // 32-bit sizes (RIFF size n + 36): the last that fits, the first that does not.
  EXPECT_EQ(samples_for(1, std::bit_cast<float>(0x36ceb801u)), 2147483608);
  EXPECT_FALSE(plan_units(1, std::bit_cast<float>(0x36ceb800u)));
}

}  // namespace
}  // namespace zarn
