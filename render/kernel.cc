#include "render/kernel.h"

#include <algorithm>
#include <atomic>

#include "render/kernel_override.h"

namespace zarn {
namespace {

// kNone while nothing is forced. Constant-initialised: no static initialiser
// runs before main, and reading it is never a data race.
constexpr int kNone = -1;
constinit std::atomic<int> forced_kernel{kNone};

}  // namespace

std::string_view kernel_name(Kernel kernel) {
  switch (kernel) {
    case Kernel::avx512:
      return "avx512";
    case Kernel::avx2:
      return "avx2";
    case Kernel::baseline:
      break;
  }
  return "baseline";
}

std::span<const Kernel> available_kernels() {
#ifdef ZARN_HAVE_AVX2
  // Each kernel needs the ones before it.
  static const std::size_t count =
      !__builtin_cpu_supports("avx2") ? 1
      : !(__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
          __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512bw"))
          ? 2
          : 3;
  return std::span(kAllKernels).first(count);
#else
  return std::span(kAllKernels).first(1);
#endif
}

Kernel active_kernel() {
  const int forced = forced_kernel.load(std::memory_order_relaxed);
  return forced == kNone ? available_kernels().back() : static_cast<Kernel>(forced);
}

bool force_kernel(Kernel kernel) {
  if (std::find(available_kernels().begin(), available_kernels().end(), kernel) ==
      available_kernels().end())
    return false;
  forced_kernel.store(static_cast<int>(kernel), std::memory_order_relaxed);
  return true;
}

void unforce_kernel() {
  forced_kernel.store(kNone, std::memory_order_relaxed);
}

}  // namespace zarn
