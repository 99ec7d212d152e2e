#include "encode/encoding.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

#include "render/kernel.h"

#ifdef ZARN_HAVE_SSE2
#include <immintrin.h>
#endif

namespace zarn {
namespace {

constexpr double kU8Peak = 127.0;
constexpr double kS16Peak = 32767.0;

// Adding this, signed like x, and truncating rounds x half away from zero.
// Adding exactly 0.5 would carry 0.49999999999999994 up to 1.
constexpr double kJustBelowHalf = 0.49999999999999994;

// scaled rounded half away from zero. The clamp to [-peak, peak] keeps the
// conversion in range, and turns a NaN into +peak rather than an undefined
// conversion; it comes after adding the half, as in the vector kernels, which
// gives the same result as clamping first.
[[gnu::always_inline]] inline std::int32_t rounded_level(double scaled, double peak) {
  const double away = scaled + std::copysign(kJustBelowHalf, scaled);
  double x = away < peak ? away : peak;
  x = x > -peak ? x : -peak;
  return static_cast<std::int32_t>(x);
}

// The position of x's highest set bit plus one; 0 for 0.
constexpr int bit_width(int x) {
  return static_cast<int>(std::bit_width(static_cast<unsigned>(x)));
}

// G.711 mu-law: the magnitude is biased by 0x84 (33 in the law's 14-bit
// units), so the segment is where the top bit lies, and the code inverted.
constexpr int kUlawBias = 0x84;
constexpr int kUlawClip = 32635;  // 0x7FFF - 0x84: the biased magnitude fits 15 bits

constexpr std::uint8_t ulaw_positive_code(int magnitude) {
  const int biased = std::min(magnitude, kUlawClip) + kUlawBias;
  const int segment = bit_width(biased) - 8;
  const int mantissa = (biased >> (segment + 3)) & 0x0F;
  return static_cast<std::uint8_t>(~(segment << 4 | mantissa));
}

// G.711 A-law: segments 0 and 1 share the finest step, 16 in 16-bit units;
// each later segment doubles it. Even bits inverted.
constexpr std::uint8_t alaw_positive_code(int magnitude) {
  const int steps = magnitude >> 4;
  const int segment = std::max(bit_width(steps) - 4, 0);
  const int mantissa = (steps >> std::max(segment - 1, 0)) & 0x0F;
  return static_cast<std::uint8_t>((0x80 | segment << 4 | mantissa) ^ 0x55);
}

// Both laws read a magnitude only to its law's finest step (4 for mu-law,
// 16 for A-law), so a table with one entry per step holds every code.
template <int kStep, std::uint8_t (*kCode)(int)>
constexpr std::array<std::uint8_t, 32768 / kStep> code_table() {
  std::array<std::uint8_t, 32768 / kStep> table{};
  for (int i = 0; i < 32768 / kStep; ++i) table[i] = kCode(i * kStep);
  return table;
}
constexpr auto kUlawCodes = code_table<4, ulaw_positive_code>();
constexpr auto kAlawCodes = code_table<16, alaw_positive_code>();

// The negative half mirrors the positive one with the sign bit cleared.
template <int kStep>
[[gnu::always_inline]] inline std::uint8_t law_code(
    const std::array<std::uint8_t, 32768 / kStep>& table, std::int32_t sample) {
  const auto magnitude = static_cast<std::uint32_t>(sample < 0 ? ~sample : sample);
  return static_cast<std::uint8_t>(table[magnitude / kStep] ^ (sample < 0 ? 0x80 : 0));
}

#ifdef ZARN_HAVE_SSE2

// The vector kernels compute exactly what s16_level and u8_level do, lane by
// lane: the same product, min/max for the clamp (both give the bound for a
// NaN, as the scalar comparisons do) and truncating conversions.
struct Sse2Constants {
  __m128d peak, floor, sign, half;
  explicit Sse2Constants(double peak_level)
      : peak(_mm_set1_pd(peak_level)),
        floor(_mm_set1_pd(-peak_level)),
        sign(_mm_set1_pd(-0.0)),
        half(_mm_set1_pd(kJustBelowHalf)) {}
};

// Four samples from `at`, as int32.
[[gnu::always_inline]] inline __m128i levels_sse2(const double* at,
                                                  const Sse2Constants& constants) {
  const auto pair_levels = [&](const double* pair) {
    const __m128d x = _mm_mul_pd(constants.peak, _mm_loadu_pd(pair));
    const __m128d away = _mm_add_pd(x, _mm_or_pd(_mm_and_pd(x, constants.sign), constants.half));
    return _mm_cvttpd_epi32(_mm_max_pd(_mm_min_pd(away, constants.peak), constants.floor));
  };
  return _mm_unpacklo_epi64(pair_levels(at), pair_levels(at + 2));
}

#ifdef ZARN_HAVE_AVX2
struct Avx2Constants {
  __m256d peak, floor, sign, half;
  [[gnu::target("avx2")]] explicit Avx2Constants(double peak_level)
      : peak(_mm256_set1_pd(peak_level)),
        floor(_mm256_set1_pd(-peak_level)),
        sign(_mm256_set1_pd(-0.0)),
        half(_mm256_set1_pd(kJustBelowHalf)) {}
};

[[gnu::target("avx2"), gnu::always_inline]] inline __m128i levels_avx2(
    const double* at, const Avx2Constants& constants) {
  const __m256d x = _mm256_mul_pd(constants.peak, _mm256_loadu_pd(at));
  const __m256d away =
      _mm256_add_pd(x, _mm256_or_pd(_mm256_and_pd(x, constants.sign), constants.half));
  return _mm256_cvttpd_epi32(_mm256_max_pd(_mm256_min_pd(away, constants.peak), constants.floor));
}
#endif

#ifdef ZARN_HAVE_AVX512
ZARN_AVX512_INTRINSICS_BEGIN
struct Avx512Constants {
  __m512d peak, floor, sign, half;
  [[ZARN_AVX512_TARGET]] explicit Avx512Constants(double peak_level)
      : peak(_mm512_set1_pd(peak_level)),
        floor(_mm512_set1_pd(-peak_level)),
        sign(_mm512_set1_pd(-0.0)),
        half(_mm512_set1_pd(kJustBelowHalf)) {}
};

// Eight samples from `at`, as int32.
[[ZARN_AVX512_TARGET, gnu::always_inline]] inline __m256i eight_levels(
    const double* at, const Avx512Constants& constants) {
  const __m512d x = _mm512_mul_pd(constants.peak, _mm512_loadu_pd(at));
  const __m512d away =
      _mm512_add_pd(x, _mm512_or_pd(_mm512_and_pd(x, constants.sign), constants.half));
  return _mm512_cvttpd_epi32(_mm512_max_pd(_mm512_min_pd(away, constants.peak), constants.floor));
}

// Sixteen samples from `at`, as int32.
[[ZARN_AVX512_TARGET, gnu::always_inline]] inline __m512i levels_avx512(
    const double* at, const Avx512Constants& constants) {
  return _mm512_inserti64x4(_mm512_castsi256_si512(eight_levels(at, constants)),
                            eight_levels(at + 8, constants), 1);
}
#endif

// The packing is the same whatever computed the levels: signed saturation to
// 16 bits (values are in range already), then 128 added and unsigned
// saturation to 8 bits for u8. x86 is little-endian, so s16 is stored as is.
[[gnu::always_inline]] inline void store_s16(std::uint8_t* out, __m128i low, __m128i high) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packs_epi32(low, high));
}

[[gnu::always_inline]] inline void store_u8(std::uint8_t* out, __m128i a, __m128i b, __m128i c,
                                            __m128i d) {
  const __m128i midpoint = _mm_set1_epi16(kSilence);
  const __m128i low = _mm_add_epi16(_mm_packs_epi32(a, b), midpoint);
  const __m128i high = _mm_add_epi16(_mm_packs_epi32(c, d), midpoint);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(low, high));
}

// Each returns how many leading samples it wrote; the scalar loop does the
// rest.
std::size_t s16_run_sse2(std::span<const double> values, std::uint8_t* out) {
  const Sse2Constants constants(kS16Peak);
  std::size_t i = 0;
  for (; i + 8 <= values.size(); i += 8) {
    store_s16(out + 2 * i, levels_sse2(&values[i], constants),
              levels_sse2(&values[i + 4], constants));
  }
  return i;
}

std::size_t u8_run_sse2(std::span<const double> values, std::uint8_t* out) {
  const Sse2Constants constants(kU8Peak);
  std::size_t i = 0;
  for (; i + 16 <= values.size(); i += 16) {
    store_u8(out + i, levels_sse2(&values[i], constants), levels_sse2(&values[i + 4], constants),
             levels_sse2(&values[i + 8], constants), levels_sse2(&values[i + 12], constants));
  }
  return i;
}

#ifdef ZARN_HAVE_AVX2
[[gnu::target("avx2")]] std::size_t s16_run_avx2(std::span<const double> values,
                                                 std::uint8_t* out) {
  const Avx2Constants constants(kS16Peak);
  std::size_t i = 0;
  for (; i + 8 <= values.size(); i += 8) {
    store_s16(out + 2 * i, levels_avx2(&values[i], constants),
              levels_avx2(&values[i + 4], constants));
  }
  return i;
}

[[gnu::target("avx2")]] std::size_t u8_run_avx2(std::span<const double> values, std::uint8_t* out) {
  const Avx2Constants constants(kU8Peak);
  std::size_t i = 0;
  for (; i + 16 <= values.size(); i += 16) {
    store_u8(out + i, levels_avx2(&values[i], constants), levels_avx2(&values[i + 4], constants),
             levels_avx2(&values[i + 8], constants), levels_avx2(&values[i + 12], constants));
  }
  return i;
}

#endif

#ifdef ZARN_HAVE_AVX512
// Levels are in range already: the saturating narrowings only narrow.
[[ZARN_AVX512_TARGET]] std::size_t s16_run_avx512(std::span<const double> values,
                                                  std::uint8_t* out) {
  const Avx512Constants constants(kS16Peak);
  std::size_t i = 0;
  for (; i + 16 <= values.size(); i += 16) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 2 * i),
                        _mm512_cvtsepi32_epi16(levels_avx512(&values[i], constants)));
  }
  return i;
}

[[ZARN_AVX512_TARGET]] std::size_t u8_run_avx512(std::span<const double> values,
                                                 std::uint8_t* out) {
  const Avx512Constants constants(kU8Peak);
  const __m512i midpoint = _mm512_set1_epi32(kSilence);
  std::size_t i = 0;
  for (; i + 16 <= values.size(); i += 16) {
    const __m512i levels = _mm512_add_epi32(levels_avx512(&values[i], constants), midpoint);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm512_cvtusepi32_epi8(levels));
  }
  return i;
}
ZARN_AVX512_INTRINSICS_END
#endif

std::size_t s16_vector_run(std::span<const double> values, std::uint8_t* out) {
#ifdef ZARN_HAVE_AVX2
  return run_kernel([&] { return s16_run_sse2(values, out); },
                    [&] { return s16_run_avx2(values, out); },
                    [&] { return s16_run_avx512(values, out); });
#else
  return s16_run_sse2(values, out);
#endif
}
std::size_t u8_vector_run(std::span<const double> values, std::uint8_t* out) {
#ifdef ZARN_HAVE_AVX2
  return run_kernel([&] { return u8_run_sse2(values, out); },
                    [&] { return u8_run_avx2(values, out); },
                    [&] { return u8_run_avx512(values, out); });
#else
  return u8_run_sse2(values, out);
#endif
}

#else

std::size_t s16_vector_run(std::span<const double>, std::uint8_t*) {
  return 0;
}
std::size_t u8_vector_run(std::span<const double>, std::uint8_t*) {
  return 0;
}

#endif

void encode_s16(std::span<const double> values, std::uint8_t* out) {
  for (std::size_t i = s16_vector_run(values, out); i < values.size(); ++i) {
    const auto bits = static_cast<std::uint16_t>(s16_level(values[i]));
    out[2 * i] = static_cast<std::uint8_t>(bits & 0xFF);
    out[2 * i + 1] = static_cast<std::uint8_t>(bits >> 8);
  }
}

void encode_u8(std::span<const double> values, std::uint8_t* out) {
  for (std::size_t i = u8_vector_run(values, out); i < values.size(); ++i) {
    out[i] = u8_level(values[i]);
  }
}

// The laws code the s16 level, a batch at a time through a stack buffer.
template <int kStep>
void encode_law(const std::array<std::uint8_t, 32768 / kStep>& table,
                std::span<const double> values, std::uint8_t* out) {
  constexpr std::size_t kBatch = 256;
  std::uint8_t bytes[2 * kBatch];
  for (std::size_t done = 0; done < values.size(); done += kBatch) {
    const std::size_t count = std::min(kBatch, values.size() - done);
    encode_s16(values.subspan(done, count), bytes);
    for (std::size_t i = 0; i < count; ++i) {
      const auto level = static_cast<std::int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
      out[done + i] = law_code<kStep>(table, level);
    }
  }
}

}  // namespace

int bytes_per_sample(Encoding encoding) {
  return encoding == Encoding::s16 || is_coded(encoding) ? 2 : 1;
}

std::uint8_t silence_byte(Encoding encoding) {
  switch (encoding) {
    case Encoding::u8:
      return kSilence;
    case Encoding::ulaw:
      return ulaw_code(0);
    case Encoding::alaw:
      return alaw_code(0);
    default:
      return 0;
  }
}

double quietest_value(Encoding encoding) {
  // Rounding half away from zero reaches level 1 at just above 1/2; mu-law
  // codes levels below 4, A-law levels below 16, as silence.
  constexpr double kHalf = 0.50000000000000006;
  switch (encoding) {
    case Encoding::u8:
      return kHalf / kU8Peak;
    case Encoding::ulaw:
      return (3 + kHalf) / kS16Peak;
    case Encoding::alaw:
      return (15 + kHalf) / kS16Peak;
    default:
      return kHalf / kS16Peak;
  }
}

std::uint8_t u8_level(double v) {
  return static_cast<std::uint8_t>(rounded_level(kU8Peak * v, kU8Peak) + kSilence);
}

std::int16_t s16_level(double v) {
  return static_cast<std::int16_t>(rounded_level(kS16Peak * v, kS16Peak));
}

std::uint8_t ulaw_code(std::int16_t sample) {
  return law_code<4>(kUlawCodes, sample);
}

std::uint8_t alaw_code(std::int16_t sample) {
  return law_code<16>(kAlawCodes, sample);
}

void encode_samples(Encoding encoding, std::span<const double> values,
                    std::span<std::uint8_t> out) {
  switch (encoding) {
    case Encoding::u8:
      return encode_u8(values, out.data());
    case Encoding::s16:
      return encode_s16(values, out.data());
    case Encoding::ulaw:
      return encode_law<4>(kUlawCodes, values, out.data());
    case Encoding::alaw:
      return encode_law<16>(kAlawCodes, values, out.data());
    default:
      break;  // frames, not samples: the GSM coder's and the codecs' (encode/codec.h)
  }
}

}  // namespace zarn
