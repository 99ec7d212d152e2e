#include "render/classic/sine.h"

#include <cmath>
#include <cstdint>

#include "render/kernel.h"

#ifdef ZARN_HAVE_AVX2
#include <immintrin.h>
#endif

namespace zarn {
namespace {

constexpr double kPeakAmplitude = 127.0;

// Every value start + (i + 1) * step is a float, so the conversion is exact.
void libm_samples(double start, double step, std::span<std::uint8_t> out) {
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = tone_sample(static_cast<float>(start + double(i + 1) * step));
  }
}

#ifdef ZARN_HAVE_AVX2

// Cody-Waite reduction by pi: k * kPiHigh is exact for every k this range
// can produce (kPiHigh has 30 significant bits, k fewer than 23), and
// kPiLow carries the rest of pi.
constexpr double kPiHigh = 0x1.921fb54p1;
constexpr double kPiLow = 3.14159265358979323846 - kPiHigh;
constexpr double kInvPi = 0.318309886183790671538;
// Adding 1.5 * 2^52 rounds to an integer and leaves it in the low bits.
constexpr double kRoundingShift = 0x1.8p52;

// Samples whose 127 sin(phase) lies this close to a rounding boundary are
// computed again with std::sin. The kernel's error is below 1e-5, so
// everything outside the band rounds the same either way.
constexpr double kGuard = 1e-4;

// The kernel's arithmetic, written on the compiler's vector types (__m256d is
// one, __m512d another; each lane is one sample). For x in [0, kFastSineLimit]: `rounded` gets
// 128 + 127 sin(x) rounded to an integer in its low bits, and `off` the
// distance of the unrounded value from that integer. Vectors pass by
// reference: by value they would need an ABI this generic code lacks.
template <class F, class I>
[[gnu::always_inline]] inline void level(const F& x, F& rounded, F& off) {
  const F shifted = x * kInvPi + kRoundingShift;
  const F k = shifted - kRoundingShift;
  const F r = (x - k * kPiHigh) - k * kPiLow;
  // sin(r) for |r| <= pi/2 + a little: Taylor series to r^11, whose
  // remainder there is below 6e-8 (7.3e-6 once scaled by 127).
  const F r2 = r * r;
  F p = r2 * (-1.0 / 39916800.0) + 1.0 / 362880.0;
  p = p * r2 - 1.0 / 5040.0;
  p = p * r2 + 1.0 / 120.0;
  p = p * r2 - 1.0 / 6.0;
  const F sin_r = r + r * r2 * p;
  // sin(x) = (-1)^k sin(r): k's parity is the low bit of `shifted`.
  const F v = F(I(sin_r * kPeakAmplitude) ^ (I(shifted) << 63));
  // 128 + v lies in [1, 255]; adding the shift rounds it to an integer in
  // the low bits. Ties round to even there, not away from zero, but a tie is
  // always inside the guard band.
  const F unrounded = v + double{kClassicSilence};
  rounded = unrounded + kRoundingShift;
  off = unrounded - (rounded - kRoundingShift);
}

struct FourLevels {
  __m256d level;  // 128 + 127 sin(phase), rounded into the low bits
  int doubtful;   // one bit per lane that needs std::sin
};

[[gnu::target("avx2"), gnu::always_inline]] inline FourLevels four_levels(__m256d wide) {
  const __m256d in_range = _mm256_cmp_pd(wide, _mm256_set1_pd(kFastSineLimit), _CMP_LE_OQ);
  // Out-of-range lanes compute on 0, keeping every value small.
  __m256d rounded, off;
  level<__m256d, __m256i>(_mm256_and_pd(wide, in_range), rounded, off);
  const __m256d near_tie =
      _mm256_or_pd(_mm256_cmp_pd(off, _mm256_set1_pd(0.5 - kGuard), _CMP_GT_OQ),
                   _mm256_cmp_pd(off, _mm256_set1_pd(kGuard - 0.5), _CMP_LT_OQ));
  return {rounded, _mm256_movemask_pd(_mm256_andnot_pd(in_range, _mm256_set1_pd(-0.0))) |
                       _mm256_movemask_pd(near_tie)};
}

// The low 32 bits of each lane, as four int32.
[[gnu::target("avx2"), gnu::always_inline]] inline __m128i low_words(__m256d rounded) {
  const __m256i words = _mm256_permutevar8x32_epi32(_mm256_castpd_si256(rounded),
                                                    _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7));
  return _mm256_castsi256_si128(words);
}

// Sixteen samples a round: four independent chains keep the units busy.
[[gnu::target("avx2")]] void avx2_samples(double start, double step, std::span<std::uint8_t> out) {
  const __m256d base = _mm256_set1_pd(start);
  const __m256d stride = _mm256_set1_pd(step);
  const __m256d four = _mm256_set1_pd(4);
  __m256d index = _mm256_setr_pd(1, 2, 3, 4);  // exact small integers
  std::size_t i = 0;
  for (; i + 16 <= out.size(); i += 16) {
    // Exact: every phase of a stretch is a float.
    const __m256d x0 = _mm256_add_pd(base, _mm256_mul_pd(index, stride));
    const __m256d i1 = _mm256_add_pd(index, four), i2 = _mm256_add_pd(i1, four);
    const __m256d i3 = _mm256_add_pd(i2, four);
    index = _mm256_add_pd(i3, four);
    const FourLevels a = four_levels(x0),
                     b = four_levels(_mm256_add_pd(base, _mm256_mul_pd(i1, stride)));
    const FourLevels c = four_levels(_mm256_add_pd(base, _mm256_mul_pd(i2, stride)));
    const FourLevels d = four_levels(_mm256_add_pd(base, _mm256_mul_pd(i3, stride)));
    const __m128i ab = _mm_packus_epi32(low_words(a.level), low_words(b.level));
    const __m128i cd = _mm_packus_epi32(low_words(c.level), low_words(d.level));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&out[i]), _mm_packus_epi16(ab, cd));
    if (a.doubtful | b.doubtful | c.doubtful | d.doubtful) {
      libm_samples(start + double(i) * step, step, out.subspan(i, 16));
    }
  }
  libm_samples(start + double(i) * step, step, out.subspan(i));
}

// The same kernel eight lanes wide.
ZARN_AVX512_INTRINSICS_BEGIN
[[ZARN_AVX512_TARGET, gnu::always_inline]] inline __mmask8 eight_levels(__m512d x_in,
                                                                        std::uint8_t* out) {
  const __mmask8 in_range = _mm512_cmp_pd_mask(x_in, _mm512_set1_pd(kFastSineLimit), _CMP_LE_OQ);
  __m512d rounded, off;
  level<__m512d, __m512i>(_mm512_maskz_mov_pd(in_range, x_in), rounded, off);
  const __mmask8 near_tie = _mm512_cmp_pd_mask(off, _mm512_set1_pd(0.5 - kGuard), _CMP_GT_OQ) |
                            _mm512_cmp_pd_mask(off, _mm512_set1_pd(kGuard - 0.5), _CMP_LT_OQ);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out),
                   _mm512_cvtepi64_epi8(_mm512_castpd_si512(rounded)));
  return static_cast<__mmask8>(~in_range | near_tie);
}

[[ZARN_AVX512_TARGET]] void avx512_samples(double start, double step, std::span<std::uint8_t> out) {
  const __m512d base = _mm512_set1_pd(start);
  const __m512d stride = _mm512_set1_pd(step);
  const __m512d eight = _mm512_set1_pd(8);
  __m512d index = _mm512_setr_pd(1, 2, 3, 4, 5, 6, 7, 8);  // exact small integers
  std::size_t i = 0;
  for (; i + 16 <= out.size(); i += 16) {
    const __m512d next = _mm512_add_pd(index, eight);
    // Exact: every phase of a stretch is a float.
    const __mmask8 a = eight_levels(_mm512_add_pd(base, _mm512_mul_pd(index, stride)), &out[i]);
    const __mmask8 b = eight_levels(_mm512_add_pd(base, _mm512_mul_pd(next, stride)), &out[i + 8]);
    index = _mm512_add_pd(next, eight);
    if (a | b) libm_samples(start + double(i) * step, step, out.subspan(i, 16));
  }
  libm_samples(start + double(i) * step, step, out.subspan(i));
}
ZARN_AVX512_INTRINSICS_END

#endif

}  // namespace

std::uint8_t tone_sample(float phase) {
  const double v = kPeakAmplitude * std::sin(double{phase});
  // An oscillator driven past the float range has no phase left; stay silent
  // rather than convert a NaN.
  if (!(std::fabs(v) <= kPeakAmplitude)) return kClassicSilence;
  return static_cast<std::uint8_t>(static_cast<int>(std::round(v)) + kClassicSilence);
}

void tone_samples(double start, double step, std::span<std::uint8_t> out) {
#ifdef ZARN_HAVE_AVX2
  run_kernel([&] { libm_samples(start, step, out); }, [&] { avx2_samples(start, step, out); },
             [&] { avx512_samples(start, step, out); });
#else
  libm_samples(start, step, out);
#endif
}

}  // namespace zarn
