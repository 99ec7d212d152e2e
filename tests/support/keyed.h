// The keyed renderer and its schedules driven directly, as the stream drives
// them but in pieces of every size.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "encode/encoding.h"
#include "keying/timeline.h"
#include "render/keyed_renderer.h"

namespace zarn::testing {

// Pieces of 5, 16, 49, ... samples, so that every seam is crossed.
inline std::vector<std::uint8_t> render_keyed(const KeyedTone& tone,
                                              std::unique_ptr<KeySchedule> schedule,
                                              Encoding encoding, std::int64_t count) {
  const auto width = static_cast<std::size_t>(bytes_per_sample(encoding));
  std::vector<std::uint8_t> out(static_cast<std::size_t>(count) * width);
  std::vector<double> values;
  KeyedRenderer renderer(tone, std::move(schedule));
  for (std::size_t done = 0, piece = 5; done < out.size();
       done += piece * width, piece = std::min<std::size_t>(piece * 3 + 1, 2048)) {
    values.resize(std::min(piece, (out.size() - done) / width));
    const auto bytes = std::span(out).subspan(done, values.size() * width);
    renderer.render(values, [&](std::size_t first, std::size_t count, bool sounding) {
      if (!sounding) std::fill_n(values.begin() + std::ptrdiff_t(first), count, 0.0);
    });
    encode_samples(encoding, values, bytes);
  }
  return out;
}

struct Instants {
  std::vector<std::pair<double, double>> tones;  // key down, key up
  double end;
};

inline Instants instants_of(std::span<const std::uint8_t> units, const TimelineTiming& timing) {
  Timeline timeline(units, timing, 1, 0);
  Instants instants{{}, Timeline::length_seconds(units, timing)};
  while (const auto tone = timeline.next_tone()) {
    instants.tones.emplace_back(tone->down_seconds, tone->up_seconds);
  }
  return instants;
}

}  // namespace zarn::testing
