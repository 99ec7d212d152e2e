// The classic key-down sample: 128 + 127 sin(phase), rounded half away from
// zero, one at a time by the C library's sine or a stretch at a time by a
// vectorised kernel that gives the same bytes.
#pragma once

#include <cstdint>
#include <span>

namespace zarn {

// The classic key-up sample.
inline constexpr std::uint8_t kClassicSilence = 128;

// Phases up to this many radians take the fast sine, which an exhaustive
// comparison has checked against std::sin for every float up to here.
inline constexpr float kFastSineLimit = 0x1p23f;

std::uint8_t tone_sample(float phase);
// The same for the phases of a stretch, out[i] for start + (i + 1) * step:
// identical bytes, much faster with the AVX2 kernel, which hands every
// sample near a rounding tie to the C library.
void tone_samples(double start, double step, std::span<std::uint8_t> out);

}  // namespace zarn
