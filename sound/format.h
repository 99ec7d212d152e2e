// The sound format: rate, encoding and container. It alone decides the
// header's bytes and every size.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "encode/encoder.h"

namespace zarn {

enum class Container {
  wav,  // a RIFF header, then the samples
  raw,  // the samples alone, as telephony systems read them
};

// The compressed encodings write their own containers, so `container` is
// wav for them, and the sizes below are those of PCM: their files' sizes are
// bounded by planned_bytes() (sound/sound_plan.h) instead.
struct SoundFormat {
  std::int32_t sample_rate;
  Encoding encoding;
  Container container = Container::wav;
  int kbps = 0;  // a lossy encoding's bitrate; 0 for its default

  Frame frame() const { return frame_of(encoding, container == Container::wav); }
  // Bytes of `samples`, whole frames.
  std::int64_t data_size(std::int64_t samples) const;
  // `samples` and the silence that completes the last frame and, but in the
  // classic sound, makes the data an even number of bytes.
  std::int64_t whole_frames(std::int64_t samples) const;
  // Everything written: header and samples. No pad byte is ever written:
  // RIFF wants one after a data chunk of odd length, but readers have lost
  // whole sounds over it and the classic files never had one; sounds with
  // options are planned to an even length instead.
  std::int64_t file_size(std::int64_t samples) const;
  // False when a size would not fit a WAV header's signed 32 bits, or a
  // file's 63, or the sample counts of the codecs' headers.
  bool fits(std::int64_t samples) const;
  // The WAV header, with `chunk` (the tags' LIST) before the data chunk;
  // nothing for raw samples and the compressed encodings.
  std::vector<std::uint8_t> header(std::int64_t samples,
                                   std::span<const std::uint8_t> chunk = {}) const;
};

// The tool's own format: 8-bit mono PCM at 11025 Hz behind 44 bytes.
inline constexpr SoundFormat kClassicFormat{11025, Encoding::u8};

}  // namespace zarn
