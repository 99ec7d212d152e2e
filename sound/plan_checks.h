// What every plan checks of a sound before it is made: that its format can
// hold the samples, and that some sample leaves silence.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "render/keyed_renderer.h"
#include "sound/format.h"
#include "sound/refusal.h"

namespace zarn {

// Far past any sample count a format can hold; converts exactly.
inline constexpr double kSampleCountLimit = 0x1p62;

inline std::int64_t unit_count(std::span<const std::uint8_t> units) {
  return static_cast<std::int64_t>(units.size());
}

// `count` samples, truncated, and with `complete_frames` the silence that
// completes the format's last frame; nothing when the format cannot hold them.
std::optional<std::int64_t> sample_count(const SoundFormat& format, double count,
                                         bool complete_frames = false);

// Refuses a sound that would hold no tone, though it has units to send: a
// dot shorter than a sample, a level that rounds to silence, or a tone so low
// that its sine moves no sample within the sound's length.
std::optional<SoundRefusal> refuse_silence(double dot_seconds, const KeyedTone& tone,
                                           Encoding encoding, std::int64_t samples,
                                           double volume_db = 0);

}  // namespace zarn
