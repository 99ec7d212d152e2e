// Ogg Vorbis through libvorbis and libogg, at an average bitrate that a
// managed peak bounds.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "encode/codec.h"

namespace zarn {

inline constexpr int kVorbisDefaultKbps = 48;

struct KbpsRange {
  int low, high;
};
// The average bitrates libvorbis codes a mono sound at `rate` with; nothing
// when it codes none at that rate.
std::optional<KbpsRange> vorbis_kbps(int rate);
// The default, moved into the rate's range.
int vorbis_chosen_kbps(int rate, int kbps);

std::unique_ptr<Codec> make_vorbis(const CodecSettings& settings);
std::uint64_t vorbis_size_bound(const CodecSettings& settings);

}  // namespace zarn
