// Ogg Vorbis through libvorbis and libogg, coded at the quality whose
// stated bitrate is the one asked for (quality 0 by default).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "encode/codec.h"

namespace zarn {

struct KbpsRange {
  int low, high;
};
// The bitrates libvorbis states for its qualities of a mono sound at
// `rate`; nothing where it states none (above 48000 Hz), which is then
// coded at quality 0.
std::optional<KbpsRange> vorbis_kbps(int rate);

std::unique_ptr<Codec> make_vorbis(const CodecSettings& settings);
std::uint64_t vorbis_size_bound(const CodecSettings& settings);

}  // namespace zarn
