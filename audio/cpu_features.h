// Which vector instructions the running processor offers. The hot loops are
// compiled for the baseline x86-64 instruction set (which includes SSE2) and
// again for AVX2, and each call takes the variant this processor can run.
// Defining ZARN_BASELINE_ONLY leaves the AVX2 variants out, so that the tests
// can check the baseline ones on any machine.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__)
#define ZARN_HAVE_SSE2 1
#if !defined(ZARN_BASELINE_ONLY)
#define ZARN_HAVE_AVX2_VARIANT 1
#endif
#endif

namespace zarn {

inline bool processor_has_avx2() {
#ifdef ZARN_HAVE_AVX2_VARIANT
  static const bool has_avx2 = __builtin_cpu_supports("avx2");
  return has_avx2;
#else
  return false;
#endif
}

}  // namespace zarn
