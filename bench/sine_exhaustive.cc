// Compares every vectorised sine kernel with std::sin over every float phase from
// the smallest subnormal up to kFastSineLimit: the rounded samples must be
// identical, all 1.26 billion of them. Prints the count of differences per
// kernel and exits non-zero if there is any.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "render/classic/sine.h"
#include "render/kernel_override.h"

namespace {

// The floats [2^(e), 2^(e+1)) are start + i * ulp for i = 1 .. 2^23, with
// start = 2^e - ulp; the subnormals are i * 2^-149.
struct Binade {
  double start;
  double ulp;
  std::size_t count;
};

std::vector<Binade> binades_up_to_limit() {
  std::vector<Binade> all;
  all.push_back({0.0, std::ldexp(1.0, -149), (1u << 23) - 1});  // subnormals
  for (int e = -126; std::ldexp(1.0, e) < zarn::kFastSineLimit; ++e) {
    const double ulp = std::ldexp(1.0, e - 23);
    all.push_back({std::ldexp(1.0, e) - ulp, ulp, 1u << 23});
  }
  all.push_back({double{zarn::kFastSineLimit} - 1.0, 1.0, 1});  // the limit itself
  return all;
}

// The active kernel's samples against std::sin's, one by one.
std::uint64_t differences(const std::vector<Binade>& binades, std::size_t first,
                          std::size_t stride) {
  std::vector<std::uint8_t> fast(1u << 23);
  std::uint64_t differing = 0;
  for (std::size_t b = first; b < binades.size(); b += stride) {
    const auto& binade = binades[b];
    const auto n = binade.count;
    zarn::tone_samples(binade.start, binade.ulp, std::span(fast).first(n));
    for (std::size_t i = 0; i < n; ++i) {
      const double phase = binade.start + double(i + 1) * binade.ulp;
      const std::uint8_t exact = zarn::tone_sample(static_cast<float>(phase));
      if (fast[i] != exact && ++differing <= 10) {
        std::printf("  differs at phase %a: %d, std::sin gives %d\n", phase, fast[i], exact);
      }
    }
  }
  return differing;
}

}  // namespace

int main() {
  const auto binades = binades_up_to_limit();
  std::uint64_t phases = 0;
  for (const auto& b : binades) phases += b.count;
  const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  bool all_same = true;
  for (const auto kernel : zarn::available_kernels()) {
    if (kernel == zarn::Kernel::baseline) continue;  // std::sin itself
    if (!zarn::force_kernel(kernel)) return 2;
    std::vector<std::uint64_t> counts(threads);
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
      workers.emplace_back([&, t] { counts[t] = differences(binades, t, threads); });
    }
    for (auto& w : workers) w.join();
    std::uint64_t differing = 0;
    for (auto c : counts) differing += c;
    std::printf("%s: %llu phases in [0, %g], %llu differing samples\n",
                std::string(zarn::kernel_name(kernel)).c_str(),
                static_cast<unsigned long long>(phases), double{zarn::kFastSineLimit},
                static_cast<unsigned long long>(differing));
    all_same = all_same && differing == 0;
  }
  return all_same ? 0 : 1;
}
