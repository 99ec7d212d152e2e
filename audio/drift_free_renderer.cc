#include "audio/drift_free_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "audio/encoding.h"
#include "audio/wav_header.h"

namespace zarn {
namespace {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

// A unit that is no positive length, which the caller is to prevent, keys
// nothing: otherwise the search for unit boundaries would never end.
std::vector<std::uint8_t> usable_units(float unit_seconds, std::span<const std::uint8_t> units) {
  if (!(unit_seconds > 0)) return {};
  return {units.begin(), units.end()};
}

}  // namespace

DriftFreeRenderer::DriftFreeRenderer(float unit_seconds, float tone_hz,
                                     std::span<const std::uint8_t> units, std::int32_t sample_count)
    : unit_seconds_(unit_seconds),
      units_(usable_units(unit_seconds, units)),
      sample_count_(std::max<std::int64_t>(sample_count, 0)),
      oscillator_(tone_hz, kSampleRate, 1),
      values_(std::make_unique<Oscillator::Block>()),
      unit_end_(unit_begin(1)) {}

// t / unit_seconds for sample k, rounded exactly as the formula rounds it.
double DriftFreeRenderer::position_in_units(std::int64_t k) const {
  return static_cast<double>(k) / kSampleRate / unit_seconds_;
}

// The first sample k >= 1 whose position is at least `unit`, i.e. the first
// of the 0-based unit `unit`. The product estimates it to within a sample or
// two; the exact test then settles it.
std::int64_t DriftFreeRenderer::unit_begin(std::size_t unit) const {
  constexpr double kLimit = 0x1p62;  // far past any sound; converts exactly
  const auto target = static_cast<double>(unit);
  const double estimate = std::ceil(target * unit_seconds_ * kSampleRate);
  if (!(estimate < kLimit)) return kNever;  // also a NaN unit length
  std::int64_t k = estimate > 1 ? static_cast<std::int64_t>(estimate) : 1;
  while (k > 1 && position_in_units(k - 1) >= target) --k;
  while (position_in_units(k) < target) ++k;
  return k;
}

// The run of equal key state that sample k starts or lies in. Samples are
// asked for in order, so the units are walked once, front to back.
DriftFreeRenderer::Run DriftFreeRenderer::run_at(std::int64_t k) {
  while (unit_ < units_.size() && unit_end_ <= k) {
    ++unit_;
    unit_end_ = unit_begin(unit_ + 1);
  }
  if (unit_ >= units_.size()) return {kNever, false};
  const bool down = units_[unit_] != 0;
  std::size_t last = unit_;
  while (last + 1 < units_.size() && (units_[last + 1] != 0) == down) ++last;
  if (!down && last + 1 == units_.size()) return {kNever, false};
  return {last == unit_ ? unit_end_ : unit_begin(last + 1), down};
}

void DriftFreeRenderer::fill(std::span<std::uint8_t> out) {
  constexpr auto kBlock = static_cast<std::int64_t>(Oscillator::kBlockSize);
  while (!out.empty()) {
    // Pieces end where the oscillator's blocks do (its first sample is k = 1),
    // so that whole blocks take its fastest path.
    const std::size_t piece =
        std::min(out.size(), static_cast<std::size_t>(kBlock - (next_k_ - 1) % kBlock));
    render(piece, out.data());
    out = out.subspan(piece);
    next_k_ += static_cast<std::int64_t>(piece);
  }
}

void DriftFreeRenderer::render(std::size_t count, std::uint8_t* out) {
  const std::int64_t end = next_k_ + static_cast<std::int64_t>(count);
  const Run first = run_at(next_k_);
  if (!first.key_down && first.end >= end) {
    oscillator_.skip(static_cast<std::int64_t>(count));
    std::memset(out, kSilence, count);
    return;
  }
  const std::span<double> values(values_->values.data(), count);
  oscillator_.fill(values);
  for (std::int64_t k = next_k_; k < end;) {
    const Run run = run_at(k);
    const std::int64_t stop = std::min(run.end, end);
    const auto offset = static_cast<std::size_t>(k - next_k_);
    const auto length = static_cast<std::size_t>(stop - k);
    if (run.key_down) {
      encode_samples(Encoding::u8, values.subspan(offset, length), {out + offset, length});
    } else {
      std::memset(out + offset, kSilence, length);
    }
    k = stop;
  }
}

}  // namespace zarn
