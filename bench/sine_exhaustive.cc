// Compares every fast sine kernel with std::sin over every float phase from
// the smallest subnormal up to kFastSineLimit: the rounded samples must be
// identical, all 1.26 billion of them. Prints the count of differences per
// kernel and exits non-zero if there is any.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <thread>
#include <vector>

#include "render/classic/sine.h"

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

std::uint64_t differences(zarn::SineKernel kernel, const std::vector<Binade>& binades,
                          std::size_t first, std::size_t stride) {
  std::vector<std::uint8_t> fast(1u << 23), exact(1u << 23);
  std::uint64_t differing = 0;
  for (std::size_t b = first; b < binades.size(); b += stride) {
    const auto& binade = binades[b];
    const auto n = binade.count;
    zarn::tone_samples(kernel, binade.start, binade.ulp, std::span(fast).first(n));
    zarn::tone_samples(zarn::SineKernel::libm, binade.start, binade.ulp, std::span(exact).first(n));
    for (std::size_t i = 0; i < n; ++i) {
      if (fast[i] != exact[i]) {
        if (++differing <= 10) {
          std::printf("  differs at phase %a: %d, std::sin gives %d\n",
                      binade.start + double(i + 1) * binade.ulp, fast[i], exact[i]);
        }
      }
    }
  }
  return differing;
}

const char* name(zarn::SineKernel kernel) {
  switch (kernel) {
    case zarn::SineKernel::libm:
      return "exact";
    case zarn::SineKernel::avx2:
      return "avx2";
  }
  return "?";
}

}  // namespace

int main() {
  const auto binades = binades_up_to_limit();
  std::uint64_t phases = 0;
  for (const auto& b : binades) phases += b.count;
  const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  bool all_same = true;
  for (const auto kernel : zarn::sine_kernels()) {
    if (kernel == zarn::SineKernel::libm) continue;
    std::vector<std::uint64_t> counts(threads);
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
      workers.emplace_back([&, t] { counts[t] = differences(kernel, binades, t, threads); });
    }
    for (auto& w : workers) w.join();
    std::uint64_t differing = 0;
    for (auto c : counts) differing += c;
    std::printf("%s: %llu phases in [0, %g], %llu differing samples\n", name(kernel),
                static_cast<unsigned long long>(phases), double{zarn::kFastSineLimit},
                static_cast<unsigned long long>(differing));
    all_same = all_same && differing == 0;
  }
  return all_same ? 0 : 1;
}
