// The keyed tone: the oscillator and the keying of the sample loop, run block
// by block so a sound of any length streams in fixed memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "audio/float_accumulator.h"
#include "audio/tone_plan.h"

namespace zarn {

// Renders the plan's samples: the phase and time accumulators carry over
// from one fill() to the next.
class ToneRenderer {
 public:
  ToneRenderer(const TonePlan& plan, std::span<const std::uint8_t> units);
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
