#include "audio/wav_header.h"

#include <string_view>

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
// A chunk tag: four characters, written as they read.
void put_tag(std::uint8_t*& at, std::string_view tag) {
  for (char c : tag) *at++ = static_cast<std::uint8_t>(c);
}

}  // namespace

std::array<std::uint8_t, kHeaderSize> WavHeader::bytes() const {
  std::array<std::uint8_t, kHeaderSize> out{};
  std::uint8_t* at = out.data();
  const auto data_size = static_cast<std::uint32_t>(sample_count);
  put_tag(at, "RIFF");
  put_u32(at, data_size + kRiffOverhead);
  put_tag(at, "WAVE");
  put_tag(at, "fmt ");
  put_u32(at, 16);           // fmt chunk size
  put_u16(at, 1);            // integer PCM
  put_u16(at, 1);            // channels: mono
  put_u32(at, kSampleRate);  // samples per second
  put_u32(at, kSampleRate);  // bytes per second, one byte per sample
  put_u16(at, 1);            // bytes per sample frame
  put_u16(at, 8);            // bits per sample
  put_tag(at, "data");
  put_u32(at, data_size);
  return out;
}

}  // namespace zarn
