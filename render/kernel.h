// The instruction sets a hot loop can be compiled for, and the one switch
// that decides which of them runs: the best the processor has, unless a test
// forced another (render/kernel_override.h). Every kernel gives the same
// bytes; only the speed differs.
#pragma once

#include <array>
#include <span>
#include <string_view>
#include <utility>

#if defined(__x86_64__) && defined(__GNUC__)
#define ZARN_HAVE_SSE2 1
#define ZARN_HAVE_AVX2 1
#define ZARN_HAVE_AVX512 1
#endif

namespace zarn {

// Slowest first, each a superset of the one before. The baseline is the
// target's own instruction set: on x86-64 that includes SSE2. avx512 is
// AVX-512 F, VL, DQ and BW.
enum class Kernel { baseline, avx2, avx512 };
inline constexpr std::array kAllKernels = {Kernel::baseline, Kernel::avx2, Kernel::avx512};

std::string_view kernel_name(Kernel kernel);

// The kernels this processor runs, slowest first; the baseline always.
std::span<const Kernel> available_kernels();

// One atomic read: threads rendering at once all see the same choice.
Kernel active_kernel();

#ifdef ZARN_HAVE_AVX2
// Calls avx512(), avx2() or baseline(), as the active kernel says: for loops
// written with each instruction set's own intrinsics.
template <class Baseline, class Avx2, class Avx512>
inline auto run_kernel(Baseline&& baseline, Avx2&& avx2, Avx512&& avx512) {
  switch (active_kernel()) {
    case Kernel::avx512:
      return std::forward<Avx512>(avx512)();
    case Kernel::avx2:
      return std::forward<Avx2>(avx2)();
    case Kernel::baseline:
      break;
  }
  return std::forward<Baseline>(baseline)();
}

// A loop with no AVX-512 code of its own runs its AVX2 code there.
template <class Baseline, class Avx2>
inline auto run_kernel(Baseline&& baseline, Avx2&& avx2) {
  if (active_kernel() != Kernel::baseline) return std::forward<Avx2>(avx2)();
  return std::forward<Baseline>(baseline)();
}
#endif

// `flatten` inlines everything the loop calls into each variant, so each is
// compiled for its own instruction set; the arithmetic is the same, so are
// the results.
template <class Loop>
[[gnu::flatten]] inline auto run_baseline(Loop&& loop) {
  return std::forward<Loop>(loop)();
}

#ifdef ZARN_HAVE_AVX2
template <class Loop>
[[gnu::target("avx2"), gnu::flatten]] inline auto run_avx2(Loop&& loop) {
  return std::forward<Loop>(loop)();
}
#endif

#ifdef ZARN_HAVE_AVX512
// What the avx512 kernel compiles for, in every loop written for it: the
// instruction sets available_kernels() asks the processor for.
#define ZARN_AVX512_TARGET gnu::target("avx512f,avx512vl,avx512dq,avx512bw")

// Around code written with AVX-512 intrinsics: GCC 12's AVX-512 headers trip
// its own maybe-uninitialized warning; the code is fine.
#if defined(__clang__)
#define ZARN_AVX512_INTRINSICS_BEGIN
#define ZARN_AVX512_INTRINSICS_END
#else
#define ZARN_AVX512_INTRINSICS_BEGIN \
  _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wmaybe-uninitialized\"")
#define ZARN_AVX512_INTRINSICS_END _Pragma("GCC diagnostic pop")
#endif

// With AVX-512's 32 vector registers, a loop's state stays in registers.
template <class Loop>
[[ZARN_AVX512_TARGET, gnu::flatten]] inline auto run_avx512(Loop&& loop) {
  return std::forward<Loop>(loop)();
}
#endif

// Runs `loop()`, one body written once, compiled for the active kernel.
template <class Loop>
inline auto run_kernel(Loop&& loop) {
#ifdef ZARN_HAVE_AVX2
  return run_kernel([&] { return run_baseline(loop); }, [&] { return run_avx2(loop); },
                    [&] { return run_avx512(loop); });
#else
  return run_baseline(std::forward<Loop>(loop));
#endif
}

}  // namespace zarn
