// Which vector instructions the running processor offers, and the one way a
// hot loop is run with the fastest of them. The loops are compiled for the
// baseline x86-64 instruction set (which includes SSE2) and again for AVX2.
// Defining ZARN_BASELINE_ONLY leaves every AVX2 path out, so
// that the tests can check the baseline ones on any machine.
#pragma once

#include <utility>

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

// Runs `loop()` compiled for AVX2 where the processor has it, for the
// baseline otherwise. `flatten` inlines everything the loop calls into each
// variant, so each is compiled for its own instruction set; the arithmetic
// is the same, so are the results.
template <class Loop>
[[gnu::flatten]] inline auto run_baseline(Loop&& loop) {
  return std::forward<Loop>(loop)();
}

#ifdef ZARN_HAVE_AVX2_VARIANT
template <class Loop>
[[gnu::target("avx2"), gnu::flatten]] inline auto run_avx2(Loop&& loop) {
  return std::forward<Loop>(loop)();
}
#endif

template <class Loop>
inline auto run_fastest(Loop&& loop) {
#ifdef ZARN_HAVE_AVX2_VARIANT
  if (processor_has_avx2()) return run_avx2(std::forward<Loop>(loop));
#endif
  return run_baseline(std::forward<Loop>(loop));
}

}  // namespace zarn
