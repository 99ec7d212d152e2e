#include "audio/audio.h"

namespace zarn {
namespace {

// WAV is little-endian whatever the host is.
void put_le(std::uint8_t*& at, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) *at++ = static_cast<std::uint8_t>(value >> (8 * i));
}
void put_u32(std::uint8_t*& at, std::uint32_t value) {
  put_le(at, value, 4);
}
void put_u16(std::uint8_t*& at, std::uint16_t value) {
  put_le(at, value, 2);
}

// Chunk tags as 32-bit integers whose little-endian bytes spell the tag.
constexpr std::uint32_t kRiff = 0x46464952;  // "RIFF"
constexpr std::uint32_t kWave = 0x45564157;  // "WAVE"
constexpr std::uint32_t kFmt = 0x20746D66;   // "fmt "
constexpr std::uint32_t kData = 0x61746164;  // "data"

// What follows the RIFF size field: "WAVE", the fmt chunk (8 + 16) and the
// data chunk's own tag and size (8).
constexpr std::uint32_t kRiffOverhead = 36;

}  // namespace

std::array<std::uint8_t, kHeaderSize> Hdr::bytes() const {
  std::array<std::uint8_t, kHeaderSize> out{};
  std::uint8_t* at = out.data();
  const auto data_size = static_cast<std::uint32_t>(samples);
  put_u32(at, kRiff);
  put_u32(at, data_size + kRiffOverhead);
  put_u32(at, kWave);
  put_u32(at, kFmt);
  put_u32(at, 16);           // fmt chunk size
  put_u16(at, 1);            // integer PCM
  put_u16(at, 1);            // channels: mono
  put_u32(at, kSampleRate);  // samples per second
  put_u32(at, kSampleRate);  // bytes per second, one byte per sample
  put_u16(at, 1);            // bytes per sample frame
  put_u16(at, 8);            // bits per sample
  put_u32(at, kData);
  put_u32(at, data_size);
  return out;
}

}  // namespace zarn
