#include "encode/encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "support/every_kernel.h"

namespace zarn {
namespace {

// Textbook G.711 decoders on the 16-bit scale, from the laws' segment tables:
// the middle of the code's interval, and the interval's width.
struct Decoded {
  int value;
  int step;
};

Decoded ulaw_decode(std::uint8_t code) {
  const int u = ~code & 0xFF;
  const int segment = (u >> 4) & 7;
  const int magnitude = ((((u & 0x0F) << 3) + 0x84) << segment) - 0x84;
  return {(u & 0x80) != 0 ? -magnitude : magnitude, 8 << segment};
}

Decoded alaw_decode(std::uint8_t code) {
  const int a = code ^ 0x55;
  const int segment = (a >> 4) & 7;
  const int mantissa = (a & 0x0F) << 4;
  const int magnitude = segment == 0 ? mantissa + 8 : (mantissa + 0x108) << (segment - 1);
  return {(a & 0x80) != 0 ? magnitude : -magnitude, segment <= 1 ? 16 : 16 << (segment - 1)};
}

TEST(G711, EverySampleDecodesWithinOneStepInOrderAndMirrored) {
  for (const auto& [encode, decode] :
       {std::pair{&ulaw_code, &ulaw_decode}, {&alaw_code, &alaw_decode}}) {
    int previous = INT_MIN;
    for (int x = -32768; x <= 32767; ++x) {
      const std::uint8_t code = encode(static_cast<std::int16_t>(x));
      const Decoded decoded = decode(code);
      ASSERT_LE(std::abs(decoded.value - x), decoded.step) << x;
      ASSERT_GE(decoded.value, previous) << x;
      previous = decoded.value;
      // A negative sample s is coded as the magnitude ~s: a mirror image.
      ASSERT_EQ(encode(static_cast<std::int16_t>(~x)), code ^ 0x80) << x;
    }
  }
}

TEST(G711, WellKnownCodes) {
  // Silence, full scale both ways, and the edges of the first intervals
  // (mu-law's 14-bit decision values 1 and 3, A-law's 13-bit value 2).
  const int kCases[][3] = {{0, 0xFF, 0xD5},      {-1, 0x7F, 0x55}, {32767, 0x80, 0xAA},
                           {-32768, 0x00, 0x2A}, {3, 0xFF, 0xD5},  {4, 0xFE, 0xD5},
                           {12, 0xFD, 0xD5},     {16, 0xFD, 0xD4}, {-17, 0x7D, 0x54}};
  for (const auto& [sample, ulaw, alaw] : kCases) {
    EXPECT_EQ(ulaw_code(static_cast<std::int16_t>(sample)), ulaw) << sample;
    EXPECT_EQ(alaw_code(static_cast<std::int16_t>(sample)), alaw) << sample;
  }
}

TEST(Levels, RoundHalfAwayFromZeroAndClamp) {
  const double kCases[][3] = {{0, 128, 0},
                              {1, 255, 32767},
                              {-1, 1, -32767},
                              {0.5, 192, 16384},
                              {-0.5, 64, -16384},
                              {0.4999999, 191, 16383},
                              {-0.4999999, 65, -16383},
                              {1.5, 255, 32767},
                              {-7, 1, -32767},
                              {std::numeric_limits<double>::quiet_NaN(), 255, 32767}};
  for (const auto& [v, u8, s16] : kCases) {
    EXPECT_EQ(u8_level(v), u8) << v;
    EXPECT_EQ(s16_level(v), s16) << v;
  }
}

struct EncodeSamples : testing::EveryKernel {};
ZARN_EVERY_KERNEL(EncodeSamples);

// The vector kernels (whole runs of 8 or 16) against the one-value path
// (runs shorter than 8), over every possible tail, clamping and a NaN.
TEST_P(EncodeSamples, VectorKernelsMatchTheOneValuePath) {
  std::mt19937 random(5);
  std::vector<double> values(1003);
  for (double& v : values) v = std::uniform_real_distribution<double>(-1.6, 1.6)(random);
  values[3] = std::numeric_limits<double>::quiet_NaN();
  for (const Encoding encoding : {Encoding::u8, Encoding::s16, Encoding::ulaw, Encoding::alaw}) {
    const auto width = static_cast<std::size_t>(bytes_per_sample(encoding));
    std::vector<std::uint8_t> bulk(values.size() * width), one(width);
    encode_samples(encoding, values, bulk);
    for (std::size_t i = 0; i < values.size(); ++i) {
      encode_samples(encoding, std::span(values).subspan(i, 1), one);
      ASSERT_TRUE(std::equal(one.begin(), one.end(), bulk.begin() + i * width)) << i;
    }
  }
}

// Just below the quietest value a sample is the encoding's silence; just
// above, it is not.
TEST_P(EncodeSamples, QuietestValueIsWhereSilenceEnds) {
  for (const Encoding encoding : {Encoding::u8, Encoding::s16, Encoding::ulaw, Encoding::alaw}) {
    const double quietest = quietest_value(encoding);
    const std::vector<std::uint8_t> silence(std::size_t(bytes_per_sample(encoding)),
                                            silence_byte(encoding));
    std::vector<std::uint8_t> below(silence.size()), above(silence.size());
    encode_samples(encoding, std::vector{quietest * (1 - 1e-9)}, below);
    encode_samples(encoding, std::vector{quietest * (1 + 1e-9)}, above);
    EXPECT_EQ(below, silence) << int(encoding);
    EXPECT_NE(above, silence) << int(encoding);
  }
}

}  // namespace
}  // namespace zarn
