// Ogg Opus (RFC 7845) through libopus and libogg: an OpusHead with the
// encoder's pre-skip, OpusTags, and granule positions that end exactly at
// the last sample.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "encode/codec.h"

namespace zarn {

inline constexpr std::array<int, 5> kOpusRates = {8000, 12000, 16000, 24000, 48000};
inline constexpr struct { int low, high; } kOpusKbps = {6, 256};
inline constexpr int kOpusDefaultKbps = 24;

std::unique_ptr<Codec> make_opus(const CodecSettings& settings);
std::uint64_t opus_size_bound(const CodecSettings& settings);

}  // namespace zarn
