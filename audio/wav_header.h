// The WAV header: a RIFF container with one "fmt " chunk, a "fact" chunk for
// the G.711 encodings, and one "data" chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "audio/encoding.h"

namespace zarn {

struct SoundFormat {
  std::int32_t sample_rate;
  Encoding encoding;
};

// The tool's own format: 8-bit mono PCM at 11025 Hz behind 44 bytes.
inline constexpr std::int32_t kSampleRate = 11025;
inline constexpr SoundFormat kClassicFormat{kSampleRate, Encoding::u8};
inline constexpr std::size_t kHeaderSize = 44;

struct WavHeader {
  SoundFormat format = kClassicFormat;
  std::int64_t sample_count = 0;
  // RIFF wants chunks of even length; the classic files never had the pad
  // byte, and their readers expect exactly n + 44 bytes.
  bool pad_odd_data = false;

  std::int64_t data_size() const;
  // 1 when the data chunk is padded, 0 otherwise.
  std::int64_t pad_size() const;
  // Bytes of the whole file: header, samples and pad.
  std::int64_t file_size() const;
  // False when a size field would not fit the header's signed 32 bits.
  bool fits() const;
  std::vector<std::uint8_t> bytes() const;
};

// The header's sizes are signed 32-bit and the classic RIFF size is the data
// size plus 36, so the classic data may be this long at most.
inline constexpr double kMaxDataSize = std::numeric_limits<std::int32_t>::max() - 36.0;

}  // namespace zarn
