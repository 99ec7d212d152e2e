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
#endif

namespace zarn {

// Slowest first. The baseline is the target's own instruction set: on
// x86-64 that includes SSE2.
enum class Kernel { baseline, avx2 };
inline constexpr std::array kAllKernels = {Kernel::baseline, Kernel::avx2};

std::string_view kernel_name(Kernel kernel);

// The kernels this processor runs, slowest first; the baseline always.
std::span<const Kernel> available_kernels();

// One atomic read: threads rendering at once all see the same choice.
Kernel active_kernel();

#ifdef ZARN_HAVE_AVX2
// Calls avx2() or baseline(), as the active kernel says: for loops written
// with each instruction set's own intrinsics.
template <class Baseline, class Avx2>
inline auto run_kernel(Baseline&& baseline, Avx2&& avx2) {
  if (active_kernel() == Kernel::avx2) return std::forward<Avx2>(avx2)();
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

// Runs `loop()`, one body written once, compiled for the active kernel.
template <class Loop>
inline auto run_kernel(Loop&& loop) {
#ifdef ZARN_HAVE_AVX2
  return run_kernel([&] { return run_baseline(loop); }, [&] { return run_avx2(loop); });
#else
  return run_baseline(std::forward<Loop>(loop));
#endif
}

}  // namespace zarn
