// The header of every format against its fields written out by hand, the
// way a WAV reader parses them.
#include "sound/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zarn {
namespace {

std::uint32_t field(const std::vector<std::uint8_t>& b, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = value << 8 | b[at + i];
  return value;
}
std::string tag(const std::vector<std::uint8_t>& b, std::size_t at) {
  return std::string(b.begin() + at, b.begin() + at + 4);
}

TEST(SoundFormat, FieldsOfEachEncoding) {
  const struct {
    SoundFormat format;
    std::int64_t samples;
    std::size_t size;         // header bytes
    std::uint32_t riff_size;  // RIFF chunk size
    std::uint16_t format_tag, frame, bits;
    std::uint32_t data_size;
  } kCases[] = {
      {{11025, Encoding::u8}, 46305, 44, 46341, 1, 1, 8, 46305},  // odd, and no pad
      {{16000, Encoding::s16}, 1000, 44, 2036, 1, 2, 16, 2000},
      {{8000, Encoding::ulaw}, 8001, 58, 50 + 8001, 7, 1, 8, 8001},
      {{48000, Encoding::alaw}, 10, 58, 60, 6, 1, 8, 10},
  };
  for (const auto& c : kCases) {
    const SoundFormat format = c.format;
    const auto b = format.header(c.samples);
    ASSERT_EQ(b.size(), c.size);
    EXPECT_EQ(tag(b, 0), "RIFF");
    EXPECT_EQ(field(b, 4, 4), c.riff_size);
    EXPECT_EQ(tag(b, 8) + tag(b, 12), "WAVEfmt ");
    const std::uint32_t fmt_size = field(b, 16, 4);
    EXPECT_EQ(fmt_size, c.size == 58 ? 18u : 16u);
    EXPECT_EQ(field(b, 20, 2), c.format_tag);
    EXPECT_EQ(field(b, 22, 2), 1u);  // mono
    EXPECT_EQ(field(b, 24, 4), std::uint32_t(c.format.sample_rate));
    EXPECT_EQ(field(b, 28, 4), std::uint32_t(c.format.sample_rate) * c.frame);
    EXPECT_EQ(field(b, 32, 2), c.frame);
    EXPECT_EQ(field(b, 34, 2), c.bits);
    std::size_t at = 20 + fmt_size;
    if (fmt_size == 18) {
      EXPECT_EQ(field(b, 36, 2), 0u);  // no extension bytes
      EXPECT_EQ(tag(b, at), "fact");
      EXPECT_EQ(field(b, at + 4, 4), 4u);
      EXPECT_EQ(field(b, at + 8, 4), std::uint32_t(c.samples));
      at += 12;
    }
    EXPECT_EQ(tag(b, at), "data");
    EXPECT_EQ(field(b, at + 4, 4), c.data_size);
    // The file: 8 bytes of RIFF tag and size, then what the RIFF size counts.
    EXPECT_EQ(format.file_size(c.samples), 8 + std::int64_t{c.riff_size});
  }
}

TEST(SoundFormat, RefusesSizesBeyondSigned32BitsInWavOnly) {
  const std::int64_t kMax = 0x7fffffff;
  EXPECT_TRUE(kClassicFormat.fits(kMax - 36));
  EXPECT_FALSE(kClassicFormat.fits(kMax - 35));
  // Two bytes a sample: half as many samples fit.
  const SoundFormat s16{48000, Encoding::s16};
  EXPECT_TRUE(s16.fits((kMax - 36) / 2));
  EXPECT_FALSE(s16.fits((kMax - 36) / 2 + 1));
  const SoundFormat ulaw{8000, Encoding::ulaw};
  EXPECT_TRUE(ulaw.fits(kMax - 50));
  EXPECT_FALSE(ulaw.fits(kMax - 49));
  EXPECT_FALSE(ulaw.fits(-1));
  // Raw samples have no header to hold their sizes.
  EXPECT_TRUE((SoundFormat{48000, Encoding::s16, Container::raw}.fits(kMax * 8)));
}

}  // namespace
}  // namespace zarn
