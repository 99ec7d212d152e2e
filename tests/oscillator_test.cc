#include "render/oscillator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/every_kernel.h"
#include "support/exact_sine.h"

namespace zarn {
namespace {

constexpr std::size_t kBlock = Oscillator::kBlockSamples;
constexpr auto kLanes = static_cast<double>(Oscillator::kLanes);

// Named after the class it tests, which the tests below therefore name in full.
struct Oscillator : testing::EveryKernel {};
ZARN_EVERY_KERNEL(Oscillator);

// Far into long sounds, against the exact sine. The oscillator's own error is
// near 1e-13; 1e-9 is its promise, still 30 000 times finer than one s16
// step, while any drift, or f k rounded to a double before the reduction
// (about 1e-7 rad at these indices), breaks it.
TEST_P(Oscillator, StaysOnTheExactSineForHours) {
  const struct {
    double frequency_hz, sample_rate;
    std::int64_t first;
  } kCases[] = {
      {1361.97509765625, 11025, 1'190'700'000},  // 30 hours at 11025 Hz
      {700, 192000, 691'200'000},                // 1 hour at 192 kHz
      {1000.3, 48000, 172'800'000},              // f k is no double
      {48000 / kLanes, 48000, 3},                // a row of lanes is a whole turn
      {24000 / kLanes, 48000, 5'000'001},        // ... and a half turn
      {23999.9, 48000, 100'000'000},             // just below half the rate
      {0.37, 8000, 999'999'937},                 // under a turn per block
      {440, 16000, -40'000},
  };
  for (const auto& c : kCases) {
    std::vector<double> samples(3 * kBlock + 123);
    zarn::Oscillator(c.frequency_hz, c.sample_rate, c.first).fill(samples);
    for (std::size_t i = 0; i < samples.size(); ++i) {
      const std::int64_t k = c.first + static_cast<std::int64_t>(i);
      ASSERT_NEAR(samples[i], testing::exact_sine(c.frequency_hz, c.sample_rate, k), 1e-9)
          << c.frequency_hz << " Hz at " << c.sample_rate << ", k = " << k;
    }
  }
}

// A sample's value depends on its index alone, not on how it was asked for.
TEST_P(Oscillator, PiecesAndSkipsGiveTheSameSamples) {
  std::vector<double> expected(6 * kBlock);
  zarn::Oscillator(1361.97509765625, 11025, 1).fill(expected);
  zarn::Oscillator pieces(1361.97509765625, 11025, 1);
  for (std::size_t done = 0, piece = 1; done < expected.size(); piece = piece * 3 + 1) {
    std::vector<double> got(std::min(piece, expected.size() - done));
    if (piece % 2 == 0) pieces.skip(static_cast<std::int64_t>(got.size()));
    if (piece % 2 == 1) pieces.fill(got);
    for (std::size_t i = 0; piece % 2 == 1 && i < got.size(); ++i) {
      ASSERT_EQ(got[i], expected[done + i]) << done + i;
    }
    done += got.size();
  }
}

}  // namespace
}  // namespace zarn
