// The keyed tone with shaped edges, streamed as encoded sample bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "audio/encoding.h"
#include "audio/keying.h"
#include "audio/oscillator.h"

namespace zarn {

struct ShapedSound {
  double sample_rate;  // 8000 .. 192000, whole numbers
  Encoding encoding;
  double frequency_hz;  // below sample_rate / 2
  double gain;          // 10^(dB / 20), dB from -60 to 0
  // 0 .. one unit; 0 keys hard. At most the shortest tone and the shortest
  // gap, so that ramps never overlap.
  double ramp_seconds;
  Keying keying;              // lead included
  std::int64_t sample_count;  // the whole sound: keying.end plus the tail
};

// Sample k is at t = k / rate and has the value g e(t) sin(2 pi f t), the
// sine drift-free and running through key-up time. The envelope e rises as
// (1 - cos(pi x)) / 2, x = (t - a) / ramp, over [a, a + ramp) from each
// key-down instant a, stays 1 until the key-up instant b and falls as
// (1 + cos(pi x)) / 2, x = (t - b) / ramp, over [b, b + ramp); it is 0
// elsewhere. Each tone thus keeps its length between half-amplitude points.
// Memory stays the same however long the sound.
class ShapedRenderer {
 public:
  explicit ShapedRenderer(const ShapedSound& sound);

  // Writes the next out.size() / bytes_per_sample samples; out.size() is a
  // multiple of bytes_per_sample. Pieces of any size join seamlessly, and
  // samples past sample_count go on by the same formula: silence.
  void fill(std::span<std::uint8_t> out);
  std::int64_t remaining() const { return sound_.sample_count - position_; }

 private:
  enum class Shape { silent, rising, steady, falling };
  struct Region {
    std::int64_t end;  // the first sample past it
    Shape shape;
  };
  // The samples where the current tone starts to rise, reaches full level,
  // starts to fall and has fallen silent.
  struct Edges {
    std::int64_t rise, steady, fall, silence;
  };

  Edges edges_of(const KeyDown& tone) const;
  Region region_at(std::int64_t sample);
  void render(std::size_t count, std::uint8_t* out);
  void render_region(Region region, std::span<double> values, std::int64_t first,
                     std::uint8_t* out) const;

  ShapedSound sound_;
  std::size_t width_;  // bytes per sample
  Oscillator oscillator_;
  std::unique_ptr<Oscillator::Block> values_;
  std::int64_t position_ = 0;
  std::size_t tone_ = 0;  // no earlier tone reaches past position_
  Edges edges_{};         // of tone_, when there is one
};

}  // namespace zarn
