// The classic sound up to kAccumulatedSamples: phase and time kept in
// single-precision accumulators from the first sample on, the key read from
// the accumulated time. Frozen: every byte of every stored identification
// depends on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "render/classic/classic_tone.h"
#include "render/classic/float_accumulator.h"

namespace zarn {

// Renders the plan's samples: the phase and time accumulators carry over
// from one fill() to the next.
class ToneRenderer {
 public:
  ToneRenderer(const ClassicTone& tone, std::span<const std::uint8_t> units);
  // Writes the next out.size() samples.
  void fill(std::span<std::uint8_t> out);

 private:
  struct Segment {
    std::size_t length;
    bool key_down;
  };
  Segment next_segment(std::size_t limit);
  float unit_end(double next_unit) const;
  void render(std::span<std::uint8_t> out, bool key_down);

  float unit_seconds_;
  std::span<const std::uint8_t> units_;
  FloatAccumulator phase_;
  FloatAccumulator time_;
  bool past_last_unit_ = false;
};

}  // namespace zarn
