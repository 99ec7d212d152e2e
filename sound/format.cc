#include "sound/format.h"

#include <limits>
#include <string_view>

namespace zarn {
namespace {

// WAV is little-endian whatever the host is.
void append_little_endian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
void append_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  append_little_endian(out, value, 4);
}
void append_u16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  append_little_endian(out, value, 2);
}
// A chunk tag: four characters, written as they read.
void append_tag(std::vector<std::uint8_t>& out, std::string_view tag) {
  out.insert(out.end(), tag.begin(), tag.end());
}

// G.711 and GSM need a fact chunk with the sample count.
bool has_fact(Encoding encoding) {
  return encoding != Encoding::u8 && encoding != Encoding::s16;
}

// The format tags of the fmt chunk.
std::uint16_t format_tag(Encoding encoding) {
  switch (encoding) {
    case Encoding::ulaw:
      return 7;  // ITU G.711 mu-law
    case Encoding::alaw:
      return 6;  // ITU G.711 A-law
    case Encoding::gsm:
      return 0x31;  // GSM 06.10, frame pairs in 65 bytes
    default:
      return 1;  // integer PCM
  }
}

// PCM has the 16-byte fmt chunk; G.711 adds a 2-byte extension size (zero),
// GSM that size (2) and the samples per block.
std::uint32_t fmt_size(Encoding encoding) {
  if (encoding == Encoding::gsm) return 20;
  return has_fact(encoding) ? 18 : 16;
}
std::int64_t fact_chunk_size(Encoding encoding) {
  return has_fact(encoding) ? 8 + 4 : 0;
}

// Everything the RIFF size counts besides the data: "WAVE", the
// fmt chunk, the fact chunk and the data chunk's own tag and size.
std::int64_t riff_overhead(Encoding encoding) {
  return 4 + 8 + fmt_size(encoding) + fact_chunk_size(encoding) + 8;
}

}  // namespace

std::int64_t SoundFormat::data_size(std::int64_t samples) const {
  return samples / frame().samples * frame().bytes;
}

std::int64_t SoundFormat::whole_frames(std::int64_t samples) const {
  const Frame f = frame();
  std::int64_t frames = (samples + f.samples - 1) / f.samples;
  if (frames % 2 != 0 && f.bytes % 2 != 0) ++frames;
  return frames * f.samples;
}

std::int64_t SoundFormat::file_size(std::int64_t samples) const {
  const std::int64_t header = container == Container::wav ? 8 + riff_overhead(encoding) : 0;
  return header + data_size(samples);
}

bool SoundFormat::fits(std::int64_t samples) const {
  // LAME counts samples in an int, with two frames more.
  constexpr std::int64_t kMostCoded = std::numeric_limits<std::int32_t>::max() - 4096;
  if (is_coded(encoding)) return samples >= 0 && samples <= kMostCoded;
  if (container == Container::raw) return samples >= 0 && samples <= (std::int64_t{1} << 62) / 2;
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  return samples >= 0 && samples <= kMax && riff_overhead(encoding) + data_size(samples) <= kMax;
}

std::vector<std::uint8_t> SoundFormat::header(std::int64_t samples,
                                              std::span<const std::uint8_t> chunk) const {
  std::vector<std::uint8_t> out;
  if (container == Container::raw || is_coded(encoding)) return out;
  const auto rate = static_cast<std::uint32_t>(sample_rate);
  const Frame block = frame();
  out.reserve(static_cast<std::size_t>(8 + riff_overhead(encoding)));
  append_tag(out, "RIFF");
  append_u32(out, static_cast<std::uint32_t>(riff_overhead(encoding) + data_size(samples) +
                                             static_cast<std::int64_t>(chunk.size())));
  append_tag(out, "WAVE");
  append_tag(out, "fmt ");
  append_u32(out, fmt_size(encoding));
  append_u16(out, format_tag(encoding));
  append_u16(out, 1);  // channels: mono
  append_u32(out, rate);
  append_u32(out, rate * static_cast<std::uint32_t>(block.bytes) /
                      static_cast<std::uint32_t>(block.samples));  // bytes per second
  append_u16(out, static_cast<std::uint16_t>(block.bytes));        // block alignment
  // Bits per sample: none whole for GSM, which gives its samples per block.
  append_u16(out, encoding == Encoding::gsm ? 0 : static_cast<std::uint16_t>(8 * block.bytes));
  if (encoding == Encoding::gsm) {
    append_u16(out, 2);
    append_u16(out, static_cast<std::uint16_t>(block.samples));
  } else if (has_fact(encoding)) {
    append_u16(out, 0);  // no further format bytes
  }
  if (has_fact(encoding)) {
    append_tag(out, "fact");
    append_u32(out, 4);
    append_u32(out, static_cast<std::uint32_t>(samples));
  }
  out.insert(out.end(), chunk.begin(), chunk.end());
  append_tag(out, "data");
  append_u32(out, static_cast<std::uint32_t>(data_size(samples)));
  return out;
}

}  // namespace zarn
