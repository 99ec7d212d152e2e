#include "render/noise.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>

#include "render/kernel.h"

namespace zarn {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kLanes = BandNoise::kLanes;

// One sample of `width` of the stretches drawn at once: the compiler's
// vector types give each instruction set its own registers, with the same
// arithmetic lane by lane. The baseline takes four lanes twice over; AVX2
// and AVX-512 take all eight in one register. Single precision halves the
// work of double; its rounding moves the band's power by under 0.01 dB, even
// for the narrowest band at the highest rate. Vectors pass by reference: by
// value they would need an ABI this generic code lacks.
// Spelled out for each width: GCC drops vector_size from a size that depends
// on a template parameter.
template <int width>
struct Vectors;
template <>
struct Vectors<4> {
  using Words = std::uint32_t __attribute__((vector_size(16)));
  using Levels = std::int32_t __attribute__((vector_size(16)));
  using Values = float __attribute__((vector_size(16)));
  using Bits = std::uint32_t __attribute__((vector_size(16)));
};
template <>
struct Vectors<8> {
  using Words = std::uint32_t __attribute__((vector_size(32)));
  using Levels = std::int32_t __attribute__((vector_size(32)));
  using Values = float __attribute__((vector_size(32)));
  using Bits = std::uint32_t __attribute__((vector_size(32)));
};

// Sets all the bits of each lane of `over` whose magnitude in v exceeds
// `peak`. NaN never arises, and a comparison's lanes are all ones or all
// zeros.
template <class Values, class Bits>
[[gnu::always_inline]] inline void mark_beyond(const Values& v, float peak, Bits& over) {
  const Values size = (Values)((Bits)v & 0x7FFFFFFFu);
  over |= (Bits)(size > peak);
}

// A white sample is the sum of a 32-bit hash's two halves: triangular, with
// this deviation. The filter, summing many of them, makes the band's noise
// Gaussian; a single sample stays within 2.45 deviations.
const double kWhiteDeviation = std::sqrt(2 * (65536.0 * 65536.0 - 1) / 12);
constexpr std::int32_t kWhiteMean = 65535;

// The start of a filter run from rest falls as (1 + n / t) e^(-n / t), t
// samples being a section's time constant: after 16 of them, below -110 dB,
// under the last step of 16-bit samples.
constexpr double kWarmUpTimeConstants = 16;
// A stretch is at least eight warm-ups long, so that they cost an eighth at
// most, and at least this long, so that its set's keys are drawn seldom.
constexpr int kShortestStretch = 8192;
// The narrowest band at the highest rate needs fewer than this.
constexpr double kLongestWarmUp = 1 << 15;
// Close to 0 Hz or to half the rate, sin(w0) makes a section far narrower
// than asked, and its response as slow: no section is narrower than this,
// which keeps its warm-up within the longest (16 / alpha samples, about).
constexpr double kLeastAlpha = 1.0 / 1536;

// The cascade of two equal sections has its -3 dB points at sqrt(sqrt(2) -
// 1) of one section's width apart.
const double kCascadeNarrowing = std::sqrt(std::sqrt(2.0) - 1);

struct Coefficients {
  double b0, a1, a2;
};

// A constant-peak band-pass section (b0 = alpha / (1 + alpha)).
Coefficients coefficients(const NoiseBand& band) {
  const double w0 = 2 * kPi * band.centre_hz / band.sample_rate;
  const double section_width = band.bandwidth_hz / kCascadeNarrowing;
  const double q = band.centre_hz / section_width;
  const double alpha = std::max(std::sin(w0) / (2 * q), kLeastAlpha);
  const double a0 = 1 + alpha;
  return {alpha / a0, -2 * std::cos(w0) / a0, (1 - alpha) / a0};
}

double response_squared(const Coefficients& c, double frequency_hz, double rate) {
  const std::complex<double> z1 = std::polar(1.0, -2 * kPi * frequency_hz / rate);
  const std::complex<double> z2 = z1 * z1;
  const std::complex<double> h = c.b0 * (1.0 - z2) / (1.0 + c.a1 * z1 + c.a2 * z2);
  return std::norm(h) * std::norm(h);
}

// A section's response falls by its larger pole's radius a sample: sqrt(a2)
// for a pair of complex poles, as for every band but the widest; otherwise
// the larger of two real ones. Only sqrt and division, exact on every
// machine.
int warm_up_of(const Coefficients& c) {
  const double discriminant = c.a1 * c.a1 - 4 * c.a2;
  const double radius =
      discriminant < 0 ? std::sqrt(c.a2) : (std::abs(c.a1) + std::sqrt(discriminant)) / 2;
  const double samples = std::ceil(kWarmUpTimeConstants / (1 - radius));
  return samples < kLongestWarmUp ? static_cast<int>(samples) : static_cast<int>(kLongestWarmUp);
}

// The cascade's response to a unit impulse, squared and summed over `samples`
// samples, computed as the noise is: both numerators first, then the poles.
double cascade_energy(const Coefficients& c, int samples) {
  double y1 = 0, y2 = 0, v1 = 0, v2 = 0, sum = 0;
  for (int n = 0; n < samples; ++n) {
    // (1 - z^-2)^2 of the impulse: 1, 0, -2, 0, 1.
    const double x = n == 0 || n == 4 ? 1 : (n == 2 ? -2 : 0);
    const double y = (c.b0 * c.b0 * x - c.a2 * y2) - c.a1 * y1;
    const double v = (y - c.a2 * v2) - c.a1 * v1;
    y2 = y1, y1 = y, v2 = v1, v1 = v;
    sum += v * v;
  }
  return sum;
}

// A stretch whose numbers fail this often is clipped instead: with one
// stretch in 50,000 failing once, never.
constexpr int kMostAttempts = 16;

// Each stretch draws its own hash inputs: a multiplier (odd, so that no two
// samples of a stretch share an input) and a mask, from SplitMix64.
std::uint64_t stretch_key(std::uint64_t seed, std::int64_t stretch, int attempt) {
  std::uint64_t z = seed + static_cast<std::uint64_t>(stretch + 1) * 0x9E3779B97F4A7C15u +
                    static_cast<std::uint64_t>(attempt) * 0xD1B54A32D192ED03u;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

// A 32-bit mix with low bias: every input bit moves every output bit.
template <class Words>
[[gnu::always_inline]] inline void mix(Words& x) {
  x ^= x >> 16;
  x *= 0x7feb352du;
  x ^= x >> 15;
  x *= 0x846ca68bu;
  x ^= x >> 16;
}

// One group's filters: its stretches' hash inputs (the sample's index times
// the multiplier, kept as a running sum, which is cheaper than the product),
// the last four white levels, each section's last two outputs.
template <int width>
struct Group {
  using Words = typename Vectors<width>::Words;
  using Levels = typename Vectors<width>::Levels;
  using Values = typename Vectors<width>::Values;
  Words multiplier{}, mask{};
  Words point{};
  Levels t1{}, t2{}, t3{}, t4{};
  Values y1{}, y2{}, v1{}, v2{};
};

// Transposes a square block in place: the k-th vector of samples across the
// lanes becomes the k-th lane's run of samples. Each stage swaps the halves of
// blocks twice as large as the last's.
template <class Values>
[[gnu::always_inline]] inline void transpose(Values (&r)[4]) {
  const Values t0 = __builtin_shufflevector(r[0], r[1], 0, 4, 2, 6);
  const Values t1 = __builtin_shufflevector(r[0], r[1], 1, 5, 3, 7);
  const Values t2 = __builtin_shufflevector(r[2], r[3], 0, 4, 2, 6);
  const Values t3 = __builtin_shufflevector(r[2], r[3], 1, 5, 3, 7);
  r[0] = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
  r[1] = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
  r[2] = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
  r[3] = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

template <class Values>
[[gnu::always_inline]] inline void transpose(Values (&r)[8]) {
  Values t[8];
  for (int i = 0; i < 8; i += 2) {
    t[i] = __builtin_shufflevector(r[i], r[i + 1], 0, 8, 2, 10, 4, 12, 6, 14);
    t[i + 1] = __builtin_shufflevector(r[i], r[i + 1], 1, 9, 3, 11, 5, 13, 7, 15);
  }
  for (int i : {0, 1, 4, 5}) {
    r[i] = __builtin_shufflevector(t[i], t[i + 2], 0, 1, 8, 9, 4, 5, 12, 13);
    r[i + 2] = __builtin_shufflevector(t[i], t[i + 2], 2, 3, 10, 11, 6, 7, 14, 15);
  }
  for (int i = 0; i < 4; ++i) {
    t[i] = __builtin_shufflevector(r[i], r[i + 4], 0, 1, 2, 3, 8, 9, 10, 11);
    t[i + 4] = __builtin_shufflevector(r[i], r[i + 4], 4, 5, 6, 7, 12, 13, 14, 15);
  }
  for (int i = 0; i < 8; ++i) r[i] = t[i];
}

// The attempt whose numbers each stretch of a set is drawn from, after that
// of the stretch before the set.
using Attempts = int[BandNoise::kLanes + 1];

struct Sections {
  float gain, a1, a2;
};

// The group's next sample, left in v1. Both sections' numerators, (1 -
// z^-2)^2, are taken on the integers, exactly, so that their mean drops out;
// each section is then its poles alone, the last output's product added last:
// the chain from sample to sample is one product and one sum.
template <int width>
[[gnu::always_inline]] inline void step(Group<width>& g, const Sections& s) {
  using Levels = typename Group<width>::Levels;
  using Values = typename Group<width>::Values;
  auto h = g.point ^ g.mask;
  mix(h);
  g.point += g.multiplier;
  const Levels t = (Levels)(h & 0xFFFFu) + (Levels)(h >> 16);
  const Values x = __builtin_convertvector((t - g.t2) - (g.t2 - g.t4), Values);
  g.t4 = g.t3, g.t3 = g.t2, g.t2 = g.t1, g.t1 = t;
  const Values y = (s.gain * x - s.a2 * g.y2) - s.a1 * g.y1;
  const Values v = (y - s.a2 * g.v2) - s.a1 * g.v1;
  g.y2 = g.y1, g.y1 = y, g.v2 = g.v1, g.v1 = v;
}

// Runs the filters of a set's stretches over the warm-up, then `samples`
// samples, handing each(i, group, block) the i-th to (i + width - 1)-th
// samples of a group's stretches, a vector for each sample.
template <int width, class Each>
[[gnu::always_inline]] inline void filter_set(std::uint64_t seed, std::int64_t set,
                                              const Attempts& attempts, const Sections& s,
                                              int warm_up, int samples, Each&& each) {
  constexpr int kGroups = kLanes / width;
  Group<width> groups[kGroups];
  // Each stretch's keys: `before` 0 for the one before it, 1 for its own.
  const auto take_keys = [&](int before) {
    for (int g = 0; g < kGroups; ++g) {
      for (int lane = 0; lane < width; ++lane) {
        const int at = g * width + lane + before;
        const std::uint64_t key = stretch_key(seed, set * kLanes + at - 1, attempts[at]);
        groups[g].multiplier[lane] = static_cast<std::uint32_t>(key) | 1u;
        groups[g].mask[lane] = static_cast<std::uint32_t>(key >> 32);
      }
    }
  };
  // The warm-up runs over the end of the stretch before, on its numbers: a
  // stretch starts where the one before it ends, as one filter would go on.
  take_keys(0);
  for (auto& g : groups) {
    g.t1 = g.t2 = g.t3 = g.t4 = typename Group<width>::Levels{} + kWhiteMean;
    g.point = g.multiplier * static_cast<std::uint32_t>(samples - warm_up);
  }
  for (int n = -warm_up; n < 0; ++n) {
    for (auto& g : groups) step(g, s);
  }
  take_keys(1);
  for (auto& g : groups) g.point = typename Group<width>::Words{};
  // `samples` is a whole number of blocks.
  for (int n = 0; n < samples; n += width) {
    typename Group<width>::Values block[kGroups][width];
    for (int k = 0; k < width; ++k) {
      for (int g = 0; g < kGroups; ++g) {
        step(groups[g], s);
        block[g][k] = groups[g].v1;
      }
    }
    for (int g = 0; g < kGroups; ++g) each(n, g, block[g]);
  }
}

}  // namespace

BandNoise::BandNoise(const NoiseBand& band, std::uint64_t seed, double input, double deviations) {
  const Coefficients c = coefficients(band);
  const int warm_up = warm_up_of(c);
  const int stretch = std::max(kShortestStretch, (8 * warm_up + 63) / 64 * 64);
  filter_ = {c.b0 * c.b0 * input / kWhiteDeviation, c.a1, c.a2, warm_up, stretch, seed,
             peak(band, input, deviations)};
  set_ = std::make_unique<float[]>(static_cast<std::size_t>(stretch) * kLanes);
  at_ = std::int64_t{stretch} * kLanes;
}

// The filter starts from rest, so the whole of its response comes after
// its first sample; the warm-up is long enough for it all.
double BandNoise::peak(const NoiseBand& band, double input, double deviations) {
  const Coefficients c = coefficients(band);
  return deviations * input * std::sqrt(cascade_energy(c, warm_up_of(c)));
}

namespace {

// The largest float not above `bound`, so that a sample below it in single
// precision is below it in double.
float below(double bound) {
  const auto rounded = static_cast<float>(bound);
  return static_cast<double>(rounded) <= bound ? rounded : std::nextafter(rounded, 0.0f);
}

// The set into `out`, a stretch a row; returns a bit for each lane that
// reached `peak`.
template <int width>
[[gnu::always_inline]] inline unsigned draw_lanes(std::uint64_t seed, std::int64_t set,
                                                  const Attempts& attempts,
                                                  const Sections& sections, int warm_up,
                                                  int stretch, float peak, float* out) {
  typename Vectors<width>::Bits over[kLanes / width] = {};
  const auto row = std::size_t(stretch);
  filter_set<width>(seed, set, attempts, sections, warm_up, stretch,
                    [&](int i, int g, typename Vectors<width>::Values(&block)[width]) {
                      for (const auto& v : block) mark_beyond(v, peak, over[g]);
                      transpose(block);
                      float* lane = out + std::size_t(g * width) * row + std::size_t(i);
                      for (int l = 0; l < width; ++l, lane += row) {
                        std::memcpy(lane, &block[l], sizeof block[l]);
                      }
                    });
  unsigned lanes = 0;
  for (int lane = 0; lane < kLanes; ++lane) {
    if (over[lane / width][lane % width] != 0) lanes |= 1u << lane;
  }
  return lanes;
}

}  // namespace

unsigned BandNoise::draw(std::int64_t set, const Attempts& attempts) {
  const Filter& f = filter_;
  const Sections sections{static_cast<float>(f.gain), static_cast<float>(f.a1),
                          static_cast<float>(f.a2)};
  float* out = set_.get();
  const float peak = below(f.peak);
  const auto lanes = [&]<int width>() {
    return draw_lanes<width>(f.seed, set, attempts, sections, f.warm_up, f.stretch, peak, out);
  };
#ifdef ZARN_HAVE_AVX512
  return run_kernel([&] { return run_baseline([&] { return lanes.operator()<4>(); }); },
                    [&] { return run_avx2([&] { return lanes.operator()<8>(); }); },
                    [&] { return run_avx512([&] { return lanes.operator()<8>(); }); });
#else
  return run_kernel([&] { return lanes.operator()<4>(); });
#endif
}

// A stretch drawn again changes the start of the next one too, so the set is
// drawn whole each round.
void BandNoise::draw_set(std::int64_t set) {
  int attempts[kLanes + 1] = {last_attempt_};
  for (int round = 0;; ++round) {
    const unsigned over = draw(set, attempts);
    last_attempt_ = attempts[kLanes];
    if (over == 0) return;
    if (round == kMostAttempts) break;
    for (int lane = 0; lane < kLanes; ++lane) attempts[lane + 1] += (over >> lane) & 1;
  }
  const float peak = below(filter_.peak * (1 - 0x1p-20));
  for (std::int64_t k = 0; k < std::int64_t{filter_.stretch} * kLanes; ++k) {
    set_[k] = std::clamp(set_[k], -peak, peak);
  }
}

// Stretch after stretch, each a row of the set.
void BandNoise::add(std::span<double> values) {
  const std::int64_t stretch = filter_.stretch, set_samples = stretch * kLanes;
  while (!values.empty()) {
    if (at_ == set_samples) {
      draw_set(next_set_++);
      at_ = 0;
    }
    const auto count = static_cast<std::size_t>(
        std::min<std::int64_t>(stretch - at_ % stretch, static_cast<std::int64_t>(values.size())));
    const float* from = set_.get() + at_;
    double* to = values.data();
    run_kernel([=] {
      for (std::size_t k = 0; k < count; ++k) to[k] += from[k];
    });
    at_ += static_cast<std::int64_t>(count);
    values = values.subspan(count);
  }
}

// Simpson's rule over the band, fine enough that the sum is exact to far
// below the 0.5 dB asked of it.
double BandNoise::band_power_gain(const NoiseBand& band) {
  const Coefficients c = coefficients(band);
  const double low = std::max(band.centre_hz - band.bandwidth_hz / 2, 0.0);
  const double high = std::min(band.centre_hz + band.bandwidth_hz / 2, band.sample_rate / 2);
  constexpr int kSteps = 4096;  // even
  const double step = (high - low) / kSteps;
  double sum = 0;
  for (int i = 0; i <= kSteps; ++i) {
    const double weight = i == 0 || i == kSteps ? 1 : (i % 2 == 1 ? 4 : 2);
    sum += weight * response_squared(c, low + i * step, band.sample_rate);
  }
  // White noise of unit variance spreads over 0 .. rate / 2.
  return sum * step / 3 / (band.sample_rate / 2);
}

}  // namespace zarn
