#include "audio/drift_free_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "support/exact_sine.h"
#include "support/morse_units.h"

namespace zarn {
namespace {

constexpr double kRate = 11025;

std::vector<std::uint8_t> render(float dot, float tone_hz, const std::vector<std::uint8_t>& units,
                                 std::int32_t count) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(count));
  DriftFreeRenderer renderer(dot, tone_hz, units, count);
  for (std::size_t done = 0, piece = 5; done < out.size(); done += piece, piece = piece * 3 + 1) {
    renderer.fill(std::span(out).subspan(done, std::min(piece, out.size() - done)));
  }
  return out;
}

// The formula written plainly, sample by sample. Byte for byte, except that a
// level within 1e-6 of a rounding tie may land on either side: the oscillator
// is within 1e-12 of the exact sine, not on it.
TEST(DriftFreeRenderer, MatchesThePlainFormula) {
  const struct {
    const char* text;
    float wpm, tone_hz;
  } kCases[] = {{"Q1ABC", 20, 1361.97509765625f},
                {"K", 13, 700.5f},
                {"0000000000", 5, 2500.3f},
                {"E E", 60, 440},
                // A unit of exactly 1 s: unit boundaries fall exactly on samples.
                {"KE", 1.2f, 1234.56f}};
  for (const auto& c : kCases) {
    const std::vector<std::uint8_t> units = testing::units_of(c.text);
    const float dot = 1.2f / c.wpm;
    // Past the last unit too, which must read key up.
    const auto count =
        static_cast<std::int32_t>(static_cast<double>(units.size()) * dot * kRate) + 500;
    const std::vector<std::uint8_t> out = render(dot, c.tone_hz, units, count);
    int near_ties = 0;
    for (std::int64_t k = 1; k <= count; ++k) {
      const double j = std::floor(static_cast<double>(k) / kRate / dot) + 1;
      const bool key_down =
          j <= static_cast<double>(units.size()) && units[static_cast<std::size_t>(j) - 1] != 0;
      const double level = key_down ? 127 * testing::exact_sine(c.tone_hz, kRate, k) : 0;
      const long difference = out[static_cast<std::size_t>(k - 1)] - 128 - std::lround(level);
      if (difference == 0) continue;
      ASSERT_TRUE(std::abs(difference) == 1 && std::abs(std::abs(std::fmod(level, 1)) - 0.5) < 1e-6)
          << c.text << " at sample " << k << ": " << difference << " off for " << level;
      ++near_ties;
    }
    EXPECT_LE(near_ties, 3) << c.text;
  }
}

// At 0.1 wpm each unit is 12 s, at 0.4 wpm 3 s: hours of sound, where the
// single-precision accumulators had long stalled. Two samples in from where
// the units say each run begins and ends, a gap must be all silence and a
// tone must have no silence longer than its zero crossings make (two bytes
// of 128); the sound ends with a gap.
TEST(DriftFreeRenderer, KeepsItsTimingDeepIntoALongSound) {
  const struct {
    const char* text;
    float wpm;
  } kCases[] = {{"Q1ABC", 0.1f}, {"0000000000", 0.4f}};
  for (const auto& c : kCases) {
    const std::vector<std::uint8_t> units = testing::units_of(c.text);
    const float dot = 1.2f / c.wpm;
    const double unit_samples = static_cast<double>(dot) * kRate;
    const auto count = static_cast<std::int32_t>(static_cast<double>(units.size()) * unit_samples);
    const std::vector<std::uint8_t> out = render(dot, 1361.97509765625f, units, count);
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
          << c.text << " unit " << unit << ": " << longest;
    }
    EXPECT_EQ(units.back(), 0) << c.text;
  }
}

// Upward zero crossings, interpolated, over the last minute of an hour.
TEST(DriftFreeRenderer, KeepsItsFrequencyAfterAnHour) {
  const float tone_hz = 1361.97509765625f;
  DriftFreeRenderer renderer(60.0f, tone_hz, std::vector<std::uint8_t>(60, 1), 3600 * 11025);
  std::vector<std::uint8_t> minute(60 * 11025);
  for (int i = 0; i < 60; ++i) renderer.fill(minute);
  double first = -1, last = -1;
  int crossings = 0;
  for (std::size_t i = 0; i + 1 < minute.size(); ++i) {
    const double a = minute[i] - 128.0, b = minute[i + 1] - 128.0;
    if (a > 0 || b <= 0) continue;
    last = static_cast<double>(i) + a / (a - b);
    if (crossings++ == 0) first = last;
  }
  EXPECT_NEAR((crossings - 1) / (last - first) * kRate, tone_hz, 0.1);
}

}  // namespace
}  // namespace zarn
