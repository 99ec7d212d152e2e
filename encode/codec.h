// The compressed encodings (mp3, vorbis, opus, flac): each coded by the
// library Debian ships for it, into the container that codec writes itself.
// Unlike the Encoder's fixed frames, a codec gives as many bytes as it
// likes, so it is fed pieces of 16-bit levels and appends what it has.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "encode/encoding.h"
#include "encode/gsm.h"
#include "encode/tags.h"

namespace zarn {

#ifdef ZARN_HAVE_COMPRESSED
inline constexpr bool kCodecsBuilt = true;
#else
inline constexpr bool kCodecsBuilt = false;
#endif

// Whether this build makes the encoding: the compressed ones need the codecs.
inline bool encoding_built(Encoding encoding) {
  if (encoding == Encoding::gsm) return kGsmCoderBuilt;
  return !is_coded(encoding) || kCodecsBuilt;
}

// The rate an encoding is rendered at when none is asked for: for mp3 an
// MPEG-2 rate that every player takes (11025 Hz would be MPEG 2.5, which
// some refuse); for opus one it takes.
int default_rate(Encoding encoding);
// The bitrate of a lossy encoding when none is asked for; 0 for the others.
int default_kbps(Encoding encoding);
inline bool is_lossy(Encoding encoding) {
  return is_coded(encoding) && encoding != Encoding::flac;
}

// What a codec refuses of a rate or a bitrate, in the words of a refusal:
// "8000, 12000, 16000, 24000 or 48000 Hz".
struct CodecRule {
  enum class What { rate, bitrate };
  What what;
  std::string allowed;
};
// Nothing when the codec takes `rate` and `kbps` (0: its default).
std::optional<CodecRule> codec_refusal(Encoding encoding, int rate, int kbps);

struct CodecSettings {
  Encoding encoding;
  int rate;
  int kbps;              // 0: the default
  std::int64_t samples;  // all of them, known before the first
  const Tags* tags;      // may be empty, never null
};

class Codec {
 public:
  virtual ~Codec() = default;
  // Codes the next levels, appending whatever bytes are ready to `out`.
  virtual void code(std::span<const std::int16_t> levels, std::vector<std::uint8_t>& out) = 0;
  // After the last level: the rest.
  virtual void finish(std::vector<std::uint8_t>& out) = 0;
};

std::unique_ptr<Codec> make_codec(const CodecSettings& settings);

// The most bytes the whole file can take, so that room can be made for it
// before the first byte; the file is cut to what was written.
std::uint64_t coded_size_bound(const CodecSettings& settings);

}  // namespace zarn
