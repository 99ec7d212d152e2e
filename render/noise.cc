#include "render/noise.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace zarn {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Four 16-bit draws summed (Irwin-Hall): mean 2 * 65535, variance
// 4 (65536^2 - 1) / 12. The filter, summing many of them, makes the band's
// noise Gaussian; a single sample stays within 3.47 deviations.
constexpr double kWhiteMean = 2.0 * 65535;
const double kWhiteDeviation = std::sqrt(4.0 * (65536.0 * 65536.0 - 1) / 12);

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
  const double alpha = std::sin(w0) / (2 * q);
  const double a0 = 1 + alpha;
  return {alpha / a0, -2 * std::cos(w0) / a0, (1 - alpha) / a0};
}

double response_squared(const Coefficients& c, double frequency_hz, double rate) {
  const std::complex<double> z1 = std::polar(1.0, -2 * kPi * frequency_hz / rate);
  const std::complex<double> z2 = z1 * z1;
  const std::complex<double> h = c.b0 * (1.0 - z2) / (1.0 + c.a1 * z1 + c.a2 * z2);
  return std::norm(h) * std::norm(h);
}

}  // namespace

BandNoise::BandNoise(const NoiseBand& band, std::uint64_t seed, double input)
    : input_(input / kWhiteDeviation), state_{Random(seed)} {
  const Coefficients c = coefficients(band);
  b0_ = c.b0;
  a1_ = c.a1;
  a2_ = c.a2;
}

template <class Each>
void BandNoise::run(std::int64_t samples, Each each) {
  State s = state_;
  const double b0 = b0_, a1 = a1_, a2 = a2_, input = input_;
  for (std::int64_t k = 0; k < samples; ++k) {
    const std::uint64_t draw = s.random.next();
    const auto sum =
        (draw & 0xFFFF) + ((draw >> 16) & 0xFFFF) + ((draw >> 32) & 0xFFFF) + (draw >> 48);
    const double x = (static_cast<double>(sum) - kWhiteMean) * input;
    // Direct form I, the last output's product added last: the only chain
    // from sample to sample is one product and one sum.
    const double y1 = (b0 * (x - s.x2) - a2 * s.y2) - a1 * s.y1;
    s.x2 = s.x1, s.x1 = x, s.y2 = s.y1, s.y1 = y1;
    const double y2 = (b0 * (y1 - s.u2) - a2 * s.v2) - a1 * s.v1;
    s.u2 = s.u1, s.u1 = y1, s.v2 = s.v1, s.v1 = y2;
    each(k, y2);
  }
  state_ = s;
}

void BandNoise::add(std::span<double> values) {
  double* out = values.data();
  run(static_cast<std::int64_t>(values.size()), [out](std::int64_t k, double y) { out[k] += y; });
}

double BandNoise::peak_over(std::int64_t samples) {
  double peak = 0;
  run(samples, [&peak](std::int64_t, double y) { peak = std::max(peak, std::abs(y)); });
  return peak;
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
