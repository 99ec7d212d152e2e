#include "audio/shaped_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "audio/cpu_features.h"

namespace zarn {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

// The smallest k >= 0 with k / rate >= time, tested exactly as a sample's time
// is defined, so every sample falls on the same side of an instant as in the
// formula: with hard keying one sample more or less is a full-scale error.
std::int64_t first_sample_at_or_after(double time, double rate) {
  constexpr double kLimit = 0x1p62;  // far past any sound; converts exactly
  const double estimate = std::ceil(time * rate);
  if (!(estimate > 0)) return 0;
  if (!(estimate < kLimit)) return static_cast<std::int64_t>(kLimit);
  auto k = static_cast<std::int64_t>(estimate);
  while (k > 0 && static_cast<double>(k - 1) / rate >= time) --k;
  while (static_cast<double>(k) / rate < time) ++k;
  return k;
}

// sin z for |z| <= pi / 2: its Taylor series through z^13, whose remainder
// there is below 7e-10, some 45 000 times finer than one s16 step. Unlike
// std::sin it vectorises.
[[gnu::always_inline]] inline double quarter_turn_sine(double z) {
  const double z2 = z * z;
  double p = 1.0 / 6227020800.0;
  p = p * z2 - 1.0 / 39916800.0;
  p = p * z2 + 1.0 / 362880.0;
  p = p * z2 - 1.0 / 5040.0;
  p = p * z2 + 1.0 / 120.0;
  p = p * z2 - 1.0 / 6.0;
  return z + z * z2 * p;
}

// The envelope of one ramp at sample first + i, with t = (first + i) / rate
// and x = (t - start) / ramp: rising (1 - cos(pi x)) / 2 or falling
// (1 + cos(pi x)) / 2. Both are (1 +- sin z) / 2 with z = pi (x - 1/2), which
// is (first + i - rate middle) pi / (rate ramp), middle being the instant
// half-way along the ramp; so z is one product per sample, and one odd
// series on [-pi/2, pi/2] serves both directions.
struct Ramp {
  double offset;  // first - rate middle: z / step at i = 0, in samples
  double step;    // pi / (rate ramp): z's advance per sample
  double half;    // +1/2 rising, -1/2 falling
};

Ramp ramp_from(std::int64_t first, double start, double rate, double ramp, bool rising) {
  const double middle = start + ramp / 2;
  return {static_cast<double>(first) - rate * middle, kPi / (rate * ramp), rising ? 0.5 : -0.5};
}

// Multiplies values[i] by the envelope of sample first + i.
[[gnu::always_inline]] inline void shape_ramp(const Ramp& ramp, std::span<double> values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    // values never exceeds a block, so i fits an int32, whose conversion to
    // double vectorises where a 64-bit one does not.
    const double z = (ramp.offset + static_cast<double>(static_cast<std::int32_t>(i))) * ramp.step;
    values[i] *= 0.5 + ramp.half * quarter_turn_sine(z);
  }
}

void shape_ramp_baseline(const Ramp& ramp, std::span<double> values) {
  shape_ramp(ramp, values);
}

#ifdef ZARN_HAVE_AVX2_VARIANT
[[gnu::target("avx2")]] void shape_ramp_avx2(const Ramp& ramp, std::span<double> values) {
  shape_ramp(ramp, values);
}
#endif

void shape_ramp_fastest(const Ramp& ramp, std::span<double> values) {
#ifdef ZARN_HAVE_AVX2_VARIANT
  if (processor_has_avx2()) return shape_ramp_avx2(ramp, values);
#endif
  shape_ramp_baseline(ramp, values);
}

}  // namespace

ShapedRenderer::ShapedRenderer(const ShapedSound& sound)
    : sound_(sound),
      width_(static_cast<std::size_t>(bytes_per_sample(sound.encoding))),
      oscillator_(sound.frequency_hz, sound.sample_rate, 0, sound.gain),
      values_(std::make_unique<Oscillator::Block>()) {
  // A rate that is no positive number, which the caller is to prevent, keys
  // nothing: otherwise the search for a tone's first sample would never end.
  if (!(sound_.sample_rate > 0)) sound_.keying.tones.clear();
  if (!sound_.keying.tones.empty()) edges_ = edges_of(sound_.keying.tones.front());
}

ShapedRenderer::Edges ShapedRenderer::edges_of(const KeyDown& tone) const {
  const double rate = sound_.sample_rate;
  const double ramp = sound_.ramp_seconds;
  return {
      first_sample_at_or_after(tone.start, rate), first_sample_at_or_after(tone.start + ramp, rate),
      first_sample_at_or_after(tone.end, rate), first_sample_at_or_after(tone.end + ramp, rate)};
}

// Samples are asked for in order, so the tones are walked once, front to back.
ShapedRenderer::Region ShapedRenderer::region_at(std::int64_t sample) {
  const std::vector<KeyDown>& tones = sound_.keying.tones;
  while (tone_ < tones.size() && edges_.silence <= sample) {
    if (++tone_ < tones.size()) edges_ = edges_of(tones[tone_]);
  }
  if (tone_ == tones.size()) return {kNever, Shape::silent};
  if (sample < edges_.rise) return {edges_.rise, Shape::silent};
  if (sample < edges_.steady) return {edges_.steady, Shape::rising};
  if (sample < edges_.fall) return {edges_.fall, Shape::steady};
  return {edges_.silence, Shape::falling};
}

void ShapedRenderer::fill(std::span<std::uint8_t> out) {
  constexpr auto kBlock = static_cast<std::int64_t>(Oscillator::kBlockSize);
  std::size_t count = out.size() / width_;
  std::uint8_t* at = out.data();
  while (count > 0) {
    // Pieces end where the oscillator's blocks do, so that whole blocks take
    // its fastest path.
    const std::size_t piece =
        std::min(count, static_cast<std::size_t>(kBlock - position_ % kBlock));
    render(piece, at);
    at += piece * width_;
    count -= piece;
    position_ += static_cast<std::int64_t>(piece);
  }
}

void ShapedRenderer::render(std::size_t count, std::uint8_t* out) {
  const std::int64_t end = position_ + static_cast<std::int64_t>(count);
  const Region first = region_at(position_);
  if (first.shape == Shape::silent && first.end >= end) {
    // Nothing sounds here: the oscillator only moves on.
    oscillator_.skip(static_cast<std::int64_t>(count));
    std::memset(out, silence_byte(sound_.encoding), count * width_);
    return;
  }
  const std::span<double> values(values_->values.data(), count);
  oscillator_.fill(values);
  for (std::int64_t sample = position_; sample < end;) {
    const Region region = region_at(sample);
    const std::int64_t stop = std::min(region.end, end);
    const auto offset = static_cast<std::size_t>(sample - position_);
    const auto length = static_cast<std::size_t>(stop - sample);
    render_region(region, values.subspan(offset, length), sample, out + offset * width_);
    sample = stop;
  }
}

void ShapedRenderer::render_region(Region region, std::span<double> values, std::int64_t first,
                                   std::uint8_t* out) const {
  if (region.shape == Shape::silent) {
    std::memset(out, silence_byte(sound_.encoding), values.size() * width_);
    return;
  }
  if (region.shape != Shape::steady) {
    const KeyDown& tone = sound_.keying.tones[tone_];
    const bool rising = region.shape == Shape::rising;
    shape_ramp_fastest(ramp_from(first, rising ? tone.start : tone.end, sound_.sample_rate,
                                 sound_.ramp_seconds, rising),
                       values);
  }
  encode_samples(sound_.encoding, values, {out, values.size() * width_});
}

}  // namespace zarn
