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
    std::uint32_t bytes_per_second = 0;  // 0: rate x frame
  } kCases[] = {
      {{11025, Encoding::u8}, 46305, 44, 46341, 1, 1, 8, 46305},  // odd, and no pad
      {{16000, Encoding::s16}, 1000, 44, 2036, 1, 2, 16, 2000},
      {{8000, Encoding::ulaw}, 8001, 58, 50 + 8001, 7, 1, 8, 8001},
      {{48000, Encoding::alaw}, 10, 58, 60, 6, 1, 8, 10},
      // Two 160-sample frames in each 65-byte block; 8000 x 65 / 320 bytes a second.
      {{8000, Encoding::gsm}, 640, 60, 52 + 130, 0x31, 65, 0, 130, 1625},
  };
  for (const auto& c : kCases) {
    const SoundFormat format = c.format;
    const auto b = format.header(c.samples);
    ASSERT_EQ(b.size(), c.size);
    EXPECT_EQ(tag(b, 0), "RIFF");
    EXPECT_EQ(field(b, 4, 4), c.riff_size);
    EXPECT_EQ(tag(b, 8) + tag(b, 12), "WAVEfmt ");
    const std::uint32_t fmt_size = field(b, 16, 4);
    EXPECT_EQ(fmt_size, c.size == 44 ? 16u : c.size - 40);  // G.711 and GSM add a fact chunk
    EXPECT_EQ(field(b, 20, 2), c.format_tag);
    EXPECT_EQ(field(b, 22, 2), 1u);  // mono
    EXPECT_EQ(field(b, 24, 4), std::uint32_t(c.format.sample_rate));
    EXPECT_EQ(field(b, 28, 4), c.bytes_per_second ? c.bytes_per_second
                                                  : std::uint32_t(c.format.sample_rate) * c.frame);
    EXPECT_EQ(field(b, 32, 2), c.frame);
    EXPECT_EQ(field(b, 34, 2), c.bits);
    std::size_t at = 20 + fmt_size;
    if (fmt_size >= 18) {
      // The extension's size, then for GSM the samples per block.
      EXPECT_EQ(field(b, 36, 2), fmt_size - 18);
      if (fmt_size == 20) {
        EXPECT_EQ(field(b, 38, 2), 320u);
      }
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

// Sounds with options end on a whole frame and an even number of bytes, so
// that no pad byte is ever due.
TEST(SoundFormat, WholeFramesCompleteTheLastFrameAndEvenTheBytes) {
  const struct {
    SoundFormat format;
    std::int64_t samples, whole;
  } kCases[] = {
      {{8000, Encoding::u8}, 7, 8},
      {{8000, Encoding::ulaw, Container::raw}, 8, 8},
      {{8000, Encoding::s16}, 7, 7},
      {{8000, Encoding::gsm, Container::raw}, 1, 320},  // 33-byte frames, two of them
      {{8000, Encoding::gsm, Container::raw}, 321, 640},
      {{8000, Encoding::gsm}, 1, 640},  // 65-byte blocks, two of them
      {{8000, Encoding::gsm}, 641, 1280},
      {{8000, Encoding::gsm}, 0, 0},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.format.whole_frames(c.samples), c.whole) << c.samples;
    EXPECT_EQ(c.format.data_size(c.whole) % 2, 0) << c.samples;
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
