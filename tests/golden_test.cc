// Long renderings pinned by hash: any change to any byte fails here.
#include <gtest/gtest.h>

#include <cstdint>

#include "support/every_kernel.h"
#include "support/render.h"

namespace zarn {
namespace {

std::uint64_t fnv1a(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (auto b : bytes) hash = (hash ^ b) * 0x100000001b3u;
  return hash;
}

struct Golden : testing::EveryKernel {};
ZARN_EVERY_KERNEL(Golden);

TEST_P(Golden, LongRunsAtSeveralSpeedsAndTones) {
  const struct {
    const char* callsign;
    float wpm;
    float freq;
    std::size_t size;
    std::uint64_t hash;
  } kCases[] = {
      // Within the classic arithmetic's reach: pinned since the first release.
      {"Q1ABC", 20, 0, 46349, 0x2587b525ff3b858d},
      {"ZS8YZ", 37, 2.5f, 25073, 0x5de3c3567afa8af9},
      // Past 79,956 samples: hashes of the plain drift-free loop
      // (support/plain_sample_loop.h), header included.
      {"0000000000", 1, 0, 2910644, 0x39eeca62cf2e04e8},
      {"Q1ABC/M", 5, 600, 254060, 0xf5feb9fb2f6a8909},
      {"VE4MNO/9", 3, 1000, 432224, 0x751451d6741eb23d},
      {"EA9/K1", 13, 440.5f, 81459, 0x7dcf38cf9f0b5512},
      {"JA7VWX", 2, 5000, 516014, 0x7d0852535f6df709},
      // Eight hours: the single-precision time stalled after 2048 s here.
      {"0000000000", 0.1f, 700, 29106044, 0x01e7f510b98e38a9},
  };
  for (const auto& c : kCases) {
    const auto wav = testing::render(c.callsign, c.wpm, c.freq);
    EXPECT_EQ(wav.size(), c.size) << c.callsign << " " << c.wpm;
    EXPECT_EQ(fnv1a(wav), c.hash) << c.callsign << " " << c.wpm << std::hex << " 0x" << fnv1a(wav);
  }
}

}  // namespace
}  // namespace zarn
