// The classic 8-bit hard-keyed sound, without the drift of single-precision
// accumulators: for sounds past 79,956 samples, where those stall.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "audio/oscillator.h"

namespace zarn {

// Sample k = 1 .. sample_count lies at t = k / 11025 s, in Morse unit
// j = floor(t / unit_seconds) + 1, evaluated in double from the
// single-precision unit. A unit past the last reads key up. Key up is the
// byte 128; key down is 128 + 127 sin(2 pi f k / 11025), 127 sin rounded half
// away from zero, the phase taken exactly from the single-precision f.
// Unit boundaries are found by arithmetic, not by a division per sample, so
// key-up runs cost a memset. unit_seconds > 0; any other unit keys nothing.
class DriftFreeRenderer {
 public:
  DriftFreeRenderer(float unit_seconds, float tone_hz, std::span<const std::uint8_t> units,
                    std::int32_t sample_count);

  // Writes the next out.size() samples, continuing the formula (key up)
  // past sample_count.
  void fill(std::span<std::uint8_t> out);
  std::int64_t remaining() const { return sample_count_ - (next_k_ - 1); }

 private:
  struct Run {
    std::int64_t end;  // the first sample past it
    bool key_down;
  };

  double position_in_units(std::int64_t k) const;
  std::int64_t unit_begin(std::size_t unit) const;
  Run run_at(std::int64_t k);
  void render(std::size_t count, std::uint8_t* out);

  double unit_seconds_;
  std::vector<std::uint8_t> units_;
  std::int64_t sample_count_;
  Oscillator oscillator_;
  std::unique_ptr<Oscillator::Block> values_;
  std::int64_t next_k_ = 1;
  std::size_t unit_ = 0;   // 0-based unit of the sample last asked about
  std::int64_t unit_end_;  // the first sample past unit_
};

}  // namespace zarn
