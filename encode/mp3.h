// MPEG audio layer III through libmp3lame, constant bitrate, behind an Info
// frame of the LAME form that carries the encoder delay and the padding, so
// that gapless decoders give back exactly the sound's samples.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "encode/codec.h"

namespace zarn {

// MPEG-2.5 (8000 to 12000 Hz), MPEG-2 (to 24000) and MPEG-1 rates.
inline constexpr std::array<int, 9> kMp3Rates = {8000,  11025, 12000, 16000, 22050,
                                                 24000, 32000, 44100, 48000};
inline constexpr int kMp3Mpeg1Lowest = 32000;
inline constexpr std::array<int, 14> kMp3Mpeg1Kbps = {32,  40,  48,  56,  64,  80,  96,
                                                      112, 128, 160, 192, 224, 256, 320};
inline constexpr std::array<int, 14> kMp3Mpeg2Kbps = {8,  16, 24, 32,  40,  48,  56,
                                                      64, 80, 96, 112, 128, 144, 160};
// LAME takes no more at the MPEG 2.5 rates (below 16000 Hz).
inline constexpr int kMp3Mpeg25Highest = 64;
// Plenty for a pure tone at 22050 Hz, and taken at every rate.
inline constexpr int kMp3DefaultKbps = 32;

std::unique_ptr<Codec> make_mp3(const CodecSettings& settings);
std::uint64_t mp3_size_bound(const CodecSettings& settings);

}  // namespace zarn
