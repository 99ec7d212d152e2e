#include "render/classic/tone_renderer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "render/classic/sine.h"

namespace zarn {

ToneRenderer::ToneRenderer(const ClassicTone& tone, std::span<const std::uint8_t> units)
    : unit_seconds_(tone.unit_seconds),
      units_(units),
      phase_(0, tone.phase_step),
      time_(0, kClassicSamplePeriod) {}

void ToneRenderer::fill(std::span<std::uint8_t> out) {
  while (!out.empty()) {
    const Segment segment = next_segment(out.size());
    render(out.first(segment.length), segment.key_down);
    out = out.subspan(segment.length);
  }
}

// A sample belongs to unit t / unit_seconds + 1 (1-based, truncated), t being the
// accumulated time. Time never runs backwards, so a unit is a run of samples
// that ends where t first reaches unit_end().
ToneRenderer::Segment ToneRenderer::next_segment(std::size_t limit) {
  if (past_last_unit_) return {limit, false};
  time_.skip(1);
  const double unit = double{time_.value()} / unit_seconds_ + 1;
  if (!(unit < double(units_.size()) + 1)) {
    past_last_unit_ = true;  // beyond the last unit the key stays up
    return {limit, false};
  }
  const auto index = static_cast<std::size_t>(unit);
  const std::size_t more = time_.advance_below(limit - 1, unit_end(double(index + 1)));
  return {1 + more, units_[index - 1] != 0};
}

// The smallest time at which a sample falls in `next_unit` or later.
float ToneRenderer::unit_end(double next_unit) const {
  const auto reaches = [&](float t) { return double{t} / unit_seconds_ + 1 >= next_unit; };
  constexpr float kInf = std::numeric_limits<float>::infinity();
  float t = to_single((next_unit - 1) * unit_seconds_);
  while (!reaches(t)) t = std::nextafter(t, kInf);
  while (t > 0 && reaches(std::nextafter(t, 0.0f))) t = std::nextafter(t, 0.0f);
  return t;
}

void ToneRenderer::render(std::span<std::uint8_t> out, bool key_down) {
  if (!key_down) {
    // The oscillator runs on through key-up time.
    phase_.skip(out.size());
    std::fill(out.begin(), out.end(), kClassicSilence);
    return;
  }
  while (!out.empty()) {
    const Stretch phases = phase_.take(out.size());
    tone_samples(phases.start, phases.step, out.first(phases.count));
    out = out.subspan(phases.count);
  }
}

}  // namespace zarn
