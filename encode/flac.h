// FLAC through libFLAC: the s16 levels, losslessly, so that a decoder gives
// back exactly the samples of -e s16.
#pragma once

#include <cstdint>
#include <memory>

#include "encode/codec.h"

namespace zarn {

std::unique_ptr<Codec> make_flac(const CodecSettings& settings);
std::uint64_t flac_size_bound(const CodecSettings& settings);

}  // namespace zarn
