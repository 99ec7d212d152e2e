// Band conditions and a message's changes, measured from the samples with
// the test's own FFT and correlations, not with the code that makes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <string>
#include <vector>

#include "core/pipeline.h"
#include "render/fading.h"
#include "render/kernel_override.h"
#include "render/noise.h"
#include "tests/support/memory_sink.h"

namespace zarn {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDefaultTone = 1361.975;

Request message(std::string text, float wpm, int rate = 11025) {
  Request request;
  request.kind = Request::Text::message;
  request.text = std::move(text);
  request.wpm = wpm;
  request.sound.rate = rate;
  request.sound.encoding = Encoding::s16;
  request.container = Container::raw;
  request.sound.seed = 77;
  return request;
}

std::vector<std::uint8_t> bytes_of(const Request& request) {
  auto sound = plan_request(request);
  EXPECT_TRUE(sound);
  if (!sound) return {};
  testing::MemorySink sink;
  EXPECT_TRUE(write_sound(*sound, sink, "m"));
  return sink.bytes;
}

std::vector<double> samples_of(const Request& request) {
  const auto bytes = bytes_of(request);
  std::vector<double> out(bytes.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<std::int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8) / 32767.0;
  }
  return out;
}

void fft(std::vector<std::complex<double>>& x) {
  const std::size_t n = x.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(x[i], x[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const auto w = std::polar(1.0, -2 * kPi / static_cast<double>(len));
    for (std::size_t i = 0; i < n; i += len) {
      std::complex<double> t = 1;
      for (std::size_t k = 0; k < len / 2; ++k, t *= w) {
        const auto u = x[i + k], v = x[i + k + len / 2] * t;
        x[i + k] = u + v;
        x[i + k + len / 2] = u - v;
      }
    }
  }
}

// The power between low and high Hz, Hann-windowed segments averaged.
double band_power(const std::vector<double>& x, std::size_t from, std::size_t to, double rate,
                  double low, double high) {
  constexpr std::size_t kN = 32768;
  double sum = 0;
  int segments = 0;
  for (std::size_t start = from; start + kN <= to; start += kN, ++segments) {
    std::vector<std::complex<double>> segment(kN);
    double window_power = 0;
    for (std::size_t i = 0; i < kN; ++i) {
      const double w = 0.5 - 0.5 * std::cos(2 * kPi * static_cast<double>(i) / kN);
      segment[i] = w * x[start + i];
      window_power += w * w;
    }
    fft(segment);
    for (std::size_t m = 1; m < kN / 2; ++m) {
      const double hz = static_cast<double>(m) * rate / kN;
      if (hz >= low && hz <= high) sum += 2 * std::norm(segment[m]) / (kN * window_power);
    }
  }
  return sum / segments;
}

// The amplitude of the sine at `hz` over [from, to).
double amplitude(const std::vector<double>& x, std::size_t from, std::size_t to, double rate,
                 double hz) {
  std::complex<double> sum = 0;
  for (std::size_t k = from; k < to; ++k) {
    sum += x[k] * std::polar(1.0, -2 * kPi * hz * static_cast<double>(k) / rate);
  }
  return 2 * std::abs(sum) / static_cast<double>(to - from);
}

// Twenty seconds of noise alone, then a dash of 72 s at 0.05 wpm: long
// enough that the noise within the tone's own bin moves its measured level
// by a tenth of a dB at most.
TEST(Conditions, SignalToNoiseRatioInTheBandIsTheOneAsked) {
  const struct {
    double snr, bandwidth;
    int rate;
    float tone;
  } kCases[] = {
      {-10, 500, 11025, 0},    {0, 100, 8000, 700},    {10, 2000, 22050, 1000},
      {30, 4000, 48000, 3000}, {5, 3000, 11025, 1000},  // the band cut at 0 Hz
  };
  for (const auto& c : kCases) {
    Request request = message("T", 0.05f, c.rate);
    request.freq = c.tone;
    request.sound.lead_ms = 20000;
    request.sound.noise_snr_db = c.snr;
    request.sound.bandwidth_hz = c.bandwidth;
    const auto x = samples_of(request);
    const double tone = c.tone > 0 ? c.tone : kDefaultTone;
    const double noise =
        band_power(x, c.rate, 19 * c.rate, c.rate, tone - c.bandwidth / 2, tone + c.bandwidth / 2);
    const double a = amplitude(x, 21 * c.rate, 91 * c.rate, c.rate, tone);
    EXPECT_NEAR(10 * std::log10(a * a / 2 / noise), c.snr, 0.5) << c.snr << " dB " << c.bandwidth;
  }
}

// Without noise: the peaks of 20 ms windows over an 18 s dash.
TEST(Conditions, FadesReachTheirDepthAndNoFurther) {
  for (const double depth : {6.0, 20.0, 40.0}) {
    Request request = message("T", 0.2f);
    request.sound.qsb_depth_db = depth;
    request.sound.qsb_rate_hz = 0.5;
    const auto x = samples_of(request);
    double high = 0, low = 1;
    constexpr std::size_t kWindow = 220;
    for (std::size_t k = kWindow; k + kWindow < 17 * 11025; k += kWindow) {
      double power = 0;
      for (std::size_t i = k; i < k + kWindow; ++i) power += x[i] * x[i];
      const double level = std::sqrt(2 * power / kWindow);
      high = std::max(high, level);
      low = std::min(low, level);
    }
    EXPECT_NEAR(20 * std::log10(high / low), depth, 1) << depth;
    EXPECT_NEAR(high, 1, 0.02) << depth;
  }
}

// The level leaves room for the noise's bound, and no more than it needs:
// the loudest sample comes past half of full scale (a wide band passes
// lighter tails than a Gaussian), also where the band is cut at
// half the rate and where a narrow band sits close to it.
TEST(Conditions, TheSumNeverClipsAndUsesTheRange) {
  for (const double snr : {-20.0, 0.0, 40.0}) {
    for (const Encoding encoding : {Encoding::u8, Encoding::s16}) {
      const struct {
        int rate;
        float tone;
        double bandwidth;
      } kBands[] = {{11025, 0, 500}, {8000, 3900, 4000}, {192000, 95000, 50}};
      for (const auto& [rate, tone, bandwidth] : kBands) {
        Request request = message("CQ DE Q1ABC", 20, rate);
        request.sound.encoding = encoding;
        request.sound.noise_snr_db = snr;
        request.sound.qsb_depth_db = 10;
        request.freq = tone;
        request.sound.bandwidth_hz = bandwidth;
        const auto bytes = bytes_of(request);
        // A clipped sum holds runs at full scale; the peak itself is one sample.
        std::size_t full = 0;
        double loudest = 0;
        if (encoding == Encoding::u8) {
          for (const auto b : bytes) {
            full += b <= 1 || b == 255;
            loudest = std::max(loudest, std::abs(b - 128) / 127.0);
          }
        } else {
          for (const double v : samples_of(request)) {
            full += std::abs(v) >= 32766 / 32767.0;
            loudest = std::max(loudest, std::abs(v));
          }
        }
        EXPECT_LE(full, 1u) << snr << " dB at " << rate;
        EXPECT_GT(loudest, 0.5) << snr << " dB at " << rate;
      }
    }
  }
}

// The other station: in 30 ms Hann windows, its tone at its strongest (inside
// its dashes) beside the main tone of a long dash.
TEST(Conditions, TheOtherStationIsTenDecibelsWeakerInsideTheBand) {
  Request request = message("T", 0.2f);
  request.freq = 700;
  request.sound.qrm_wpm = 28;
  const auto x = samples_of(request);
  const double other = 700 + 0.3 * 500;
  const double main = amplitude(x, 11025, 17 * 11025, 11025, 700);
  double strongest = 0;
  constexpr std::size_t kWindow = 331;
  for (std::size_t k = 11025; k + kWindow < 17 * 11025; k += 50) {
    std::complex<double> sum = 0;
    for (std::size_t i = 0; i < kWindow; ++i) {
      const double w = 1 - std::cos(2 * kPi * static_cast<double>(i) / kWindow);
      sum += w * x[k + i] * std::polar(1.0, -2 * kPi * other * static_cast<double>(k + i) / 11025);
    }
    strongest = std::max(strongest, 2 * std::abs(sum) / kWindow);
  }
  EXPECT_NEAR(20 * std::log10(strongest / main), -10, 0.5);
}

TEST(Conditions, TheSeedMakesTheSameBytesAndAnotherSeedOthers) {
  Request request = message("CQ", 20);
  request.sound.noise_snr_db = 3;
  request.sound.qsb_depth_db = 10;
  request.sound.qrm_wpm = 25;
  const auto first = bytes_of(request);
  EXPECT_EQ(bytes_of(request), first);
  request.sound.seed += 1;
  EXPECT_NE(bytes_of(request), first);
  // Every kernel draws the noise alike, over more than one set of stretches.
  request.text = "CQ CQ DE Q1ABC";
  ASSERT_TRUE(force_kernel(Kernel::baseline));
  const auto baseline = bytes_of(request);
  for (const Kernel kernel : available_kernels()) {
    ASSERT_TRUE(force_kernel(kernel));
    EXPECT_EQ(bytes_of(request), baseline) << kernel_name(kernel);
  }
  unforce_kernel();
}

// At 4 deviations a stretch is drawn again often, at 3 until the draws run
// out and it is clipped: 300,000 samples would pass either bound otherwise.
// No sample reaches it, and the seed still gives the same samples.
TEST(Conditions, NoNoiseSampleReachesItsBound) {
  for (const double deviations : {BandNoise::kPeakDeviations, 4.0, 3.0}) {
    const auto draw = [deviations] {
      BandNoise noise(NoiseBand{1000, 500, 11025}, 7, 1, deviations);
      std::vector<double> values(300000);
      noise.add(values);
      return std::pair(values, noise.peak());
    };
    const auto [values, peak] = draw();
    double loudest = 0;
    for (const double v : values) loudest = std::max(loudest, std::abs(v));
    EXPECT_LT(loudest, peak) << deviations;
    EXPECT_GT(loudest, peak / 2) << deviations;
    EXPECT_EQ(draw().first, values) << deviations;
  }
}

// The stream fades only what sounds and skips silence: skipping must keep the
// fade where faded zeros would have left it, across turns of the fade.
TEST(Conditions, SkippingSilenceKeepsTheFadeInStep) {
  const FadeShape shape{20, 5, 8000};
  Fading whole(shape, 3), skipping(shape, 3);
  std::vector<double> tone(9000, 1.0), runs = tone;
  for (std::size_t i = 1000; i < 6000; ++i) tone[i] = runs[i] = 0;
  whole.apply(tone);
  skipping.apply(std::span(runs).first(1000));
  skipping.skip(5000);
  skipping.apply(std::span(runs).subspan(6000));
  EXPECT_EQ(runs, tone);
}

// The key's edges and the tone's frequency, from zero crossings, of every
// tone after a change: a change waits for the next character.
TEST(InlineChanges, TakeEffectFromTheNextCharacter) {
  const struct {
    std::string text;
    double start, length, hz, peak;  // of the last tone
  } kCases[] = {
      {"E|w10E", 0.24, 0.12, kDefaultTone, 1},
      {"E |w10E", 0.48, 0.12, kDefaultTone, 1},    // the word gap at the old speed
      {"E|e40E", 0.24, 0.03, kDefaultTone, 1},     // 20 wpm overall, dots of 40
      {"E|f700E", 0.24, 0.06, 700, 1},             //
      {"E|v-20|f500.5E", 0.24, 0.06, 500.5, 0.1},  // both at once
      {"E|w10|vE", 0, 0, 0, 0},                    // refused: no number
  };
  for (const auto& c : kCases) {
    Request request = message(c.text, 20);
    request.sound.ramp_ms = 3;
    if (c.length == 0) {
      EXPECT_FALSE(plan_request(request)) << c.text;
      continue;
    }
    const auto x = samples_of(request);
    std::size_t first = x.size(), last = 0;
    for (std::size_t k = 1103; k < x.size(); ++k) {
      if (std::abs(x[k]) > 0.3 * c.peak) first = std::min(first, k), last = k;
    }
    // Ramps' half-amplitude points, within a sample or two of the edges.
    EXPECT_NEAR(first / 11025.0, c.start, 0.002) << c.text;
    EXPECT_NEAR((last - first) / 11025.0, c.length, 0.003) << c.text;
    int crossings = 0;
    for (std::size_t k = first; k < last; ++k) crossings += (x[k] < 0) != (x[k + 1] < 0);
    EXPECT_NEAR(crossings / 2.0 / ((last - first) / 11025.0), c.hz, 0.02 * c.hz) << c.text;
    double peak = 0, step = 0;
    for (std::size_t k = 0; k + 1 < x.size(); ++k) {
      peak = std::max(peak, k >= first ? std::abs(x[k]) : 0);
      step = std::max(step, std::abs(x[k + 1] - x[k]));
    }
    EXPECT_NEAR(peak, c.peak, 0.01 * c.peak) << c.text;
    // A sine moves at most 2 pi f / rate a sample, a 3 ms raised cosine at
    // most pi / (2 * 0.003 * rate): nothing jumps at a change.
    const double most = (2 * kPi * kDefaultTone + kPi / (2 * 0.003)) / 11025 + 2 / 32767.0;
    EXPECT_LE(step, most) << c.text;
  }
}

}  // namespace
}  // namespace zarn
