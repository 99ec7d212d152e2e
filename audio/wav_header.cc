#include "audio/wav_header.h"

#include <limits>
#include <string_view>

namespace zarn {
namespace {

// WAV is little-endian whatever the host is.
void put_le(std::vector<std::uint8_t>& out, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put_le(out, value, 4);
}
void put_u16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  put_le(out, value, 2);
}
// A chunk tag: four characters, written as they read.
void put_tag(std::vector<std::uint8_t>& out, std::string_view tag) {
  out.insert(out.end(), tag.begin(), tag.end());
}

bool is_g711(Encoding encoding) {
  return encoding == Encoding::ulaw || encoding == Encoding::alaw;
}

// The format tags of the fmt chunk.
std::uint16_t format_tag(Encoding encoding) {
  switch (encoding) {
    case Encoding::ulaw:
      return 7;  // ITU G.711 mu-law
    case Encoding::alaw:
      return 6;  // ITU G.711 A-law
    default:
      return 1;  // integer PCM
  }
}

// PCM has the 16-byte fmt chunk; the G.711 formats add a 2-byte extension
// size (zero) and need a fact chunk with the sample count.
std::uint32_t fmt_size(Encoding encoding) {
  return is_g711(encoding) ? 18 : 16;
}
std::int64_t fact_chunk_size(Encoding encoding) {
  return is_g711(encoding) ? 8 + 4 : 0;
}

std::int64_t bytes_per_frame(Encoding encoding) {
  return encoding == Encoding::s16 ? 2 : 1;
}

// Everything the RIFF size counts besides the data and its pad: "WAVE", the
// fmt chunk, the fact chunk and the data chunk's own tag and size.
std::int64_t riff_overhead(Encoding encoding) {
  return 4 + 8 + fmt_size(encoding) + fact_chunk_size(encoding) + 8;
}

}  // namespace

std::int64_t WavHeader::data_size() const {
  return sample_count * bytes_per_frame(format.encoding);
}

std::int64_t WavHeader::pad_size() const {
  return pad_odd_data && data_size() % 2 != 0 ? 1 : 0;
}

std::int64_t WavHeader::file_size() const {
  return 8 + riff_overhead(format.encoding) + data_size() + pad_size();
}

bool WavHeader::fits() const {
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  return sample_count >= 0 && sample_count <= kMax &&
         riff_overhead(format.encoding) + data_size() + pad_size() <= kMax;
}

std::vector<std::uint8_t> WavHeader::bytes() const {
  const Encoding encoding = format.encoding;
  const auto rate = static_cast<std::uint32_t>(format.sample_rate);
  const auto frame = static_cast<std::uint16_t>(bytes_per_frame(encoding));
  const auto data = static_cast<std::uint32_t>(data_size());
  std::vector<std::uint8_t> out;
  put_tag(out, "RIFF");
  put_u32(out, static_cast<std::uint32_t>(riff_overhead(encoding) + data_size() + pad_size()));
  put_tag(out, "WAVE");
  put_tag(out, "fmt ");
  put_u32(out, fmt_size(encoding));
  put_u16(out, format_tag(encoding));
  put_u16(out, 1);             // channels: mono
  put_u32(out, rate);          // samples per second
  put_u32(out, rate * frame);  // bytes per second
  put_u16(out, frame);         // bytes per sample frame
  put_u16(out, 8 * frame);     // bits per sample
  if (is_g711(encoding)) {
    put_u16(out, 0);  // no further format bytes
    put_tag(out, "fact");
    put_u32(out, 4);
    put_u32(out, static_cast<std::uint32_t>(sample_count));
  }
  put_tag(out, "data");
  put_u32(out, data);
  return out;
}

}  // namespace zarn
