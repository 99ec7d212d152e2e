// An Ogg logical stream: packets in, pages out, as libogg lays them. The
// Vorbis and Opus codecs write through it.
#pragma once

#include <ogg/ogg.h>

#include <cstdint>
#include <span>
#include <vector>

namespace zarn {

class OggWriter {
 public:
  OggWriter();
  ~OggWriter();
  OggWriter(const OggWriter&) = delete;
  OggWriter& operator=(const OggWriter&) = delete;

  // `last` marks the stream's end. The packet's bytes are copied.
  void packet(std::span<const std::uint8_t> bytes, std::int64_t granule, bool last = false);
  void packet(ogg_packet& packet);
  // Full pages, or with `flush` every packet given so far, onto `out`.
  void pages(std::vector<std::uint8_t>& out, bool flush = false);

 private:
  ogg_stream_state stream_;
  std::int64_t number_ = 0;
};

}  // namespace zarn
