// The sound format: rate, encoding and container. It alone decides the
// header's bytes, every size and the pad byte.
#pragma once

#include <cstdint>
#include <vector>

#include "encode/encoding.h"

namespace zarn {

enum class Container {
  wav,  // a RIFF header, then the samples
  raw,  // the samples alone, as telephony systems read them
};

struct SoundFormat {
  std::int32_t sample_rate;
  Encoding encoding;
  Container container = Container::wav;
  // RIFF wants chunks of even length; the classic files never had the pad
  // byte, and their readers expect exactly n + 44 bytes.
  bool pad_odd_data = false;

  std::int64_t data_size(std::int64_t samples) const;
  // 1 when a WAV data chunk of odd length is padded, 0 otherwise.
  std::int64_t pad_size(std::int64_t samples) const;
  // Everything written: header, samples and pad.
  std::int64_t file_size(std::int64_t samples) const;
  // False when a size would not fit the header's signed 32 bits.
  bool fits(std::int64_t samples) const;
  // The WAV header; nothing for raw samples.
  std::vector<std::uint8_t> header(std::int64_t samples) const;
};

// The tool's own format: 8-bit mono PCM at 11025 Hz behind 44 bytes.
inline constexpr SoundFormat kClassicFormat{11025, Encoding::u8};

}  // namespace zarn
