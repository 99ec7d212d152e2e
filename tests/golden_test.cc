// Long renderings pinned by hash: any change to any byte fails here.
#include <gtest/gtest.h>

#include <cstdint>

#include "support/render.h"

namespace zarn {
namespace {

std::uint64_t fnv1a(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (auto b : bytes) hash = (hash ^ b) * 0x100000001b3u;
  return hash;
}

TEST(Golden, LongRunsAtSeveralSpeedsAndTones) {
  const struct {
    const char* callsign;
    float wpm;
    float freq;
    std::size_t size;
    std::uint64_t hash;
  } kCases[] = {
      {"Q1ABC", 20, 0, 46349, 0x2587b525ff3b858d},
      {"0000000000", 1, 0, 2910644, 0x32af9ec358323e36},
      {"Q1ABC/M", 5, 600, 254060, 0xb35b81472430b5d7},
      {"VE4MNO/9", 3, 1000, 432224, 0x68a2954bc49c2b61},
      {"EA9/K1", 13, 440.5f, 81459, 0xc770a2343894a026},
      {"JA7VWX", 2, 5000, 516014, 0x68770029be5817d8},
      {"ZS8YZ", 37, 2.5f, 25073, 0x5de3c3567afa8af9},
      // Past 2048 s the time accumulator no longer advances.
      {"0000000000", 0.1f, 700, 29106044, 0x09083c76cf1ed61a},
  };
  for (const auto& c : kCases) {
    const auto wav = testing::render(c.callsign, c.wpm, c.freq);
    EXPECT_EQ(wav.size(), c.size) << c.callsign << " " << c.wpm;
    EXPECT_EQ(fnv1a(wav), c.hash) << c.callsign << " " << c.wpm << std::hex << " 0x" << fnv1a(wav);
  }
}

}  // namespace
}  // namespace zarn
