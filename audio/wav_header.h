// The WAV header: a RIFF container with one "fmt " chunk for 8-bit mono
// integer PCM at 11025 Hz and one "data" chunk.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace zarn {

inline constexpr std::int32_t kSampleRate = 11025;
inline constexpr std::size_t kHeaderSize = 44;

// What follows the RIFF size field up to the samples: "WAVE", the fmt chunk
// (8 + 16) and the data chunk's own tag and size (8). The RIFF size is the
// data size plus this.
inline constexpr std::int32_t kRiffOverhead = 36;

// The header's sizes are signed 32-bit, so the data may be this long at most.
inline constexpr double kMaxDataSize = std::numeric_limits<std::int32_t>::max() - kRiffOverhead;

struct WavHeader {
  std::int32_t sample_count = 0;  // one byte each
  std::array<std::uint8_t, kHeaderSize> bytes() const;
};

}  // namespace zarn
