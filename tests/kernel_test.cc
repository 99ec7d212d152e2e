// The kernel switch itself; the suites over support/every_kernel.h prove
// the kernels' bytes.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>

#include "support/every_kernel.h"

namespace zarn {
namespace {

// A build that left a kernel out, or a wrong processor check, would let the
// suites skip a kernel this machine has, or crash on one it lacks.
TEST(Kernel, OffersWhatTheProcessorHas) {
  EXPECT_EQ(available_kernels().front(), Kernel::baseline);
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line) && !line.starts_with("flags")) {
  }
  if (line.empty()) GTEST_SKIP() << "no flags line in /proc/cpuinfo";
  const auto has = [&line](const char* flag) {
    return (line + " ").find(" " + std::string(flag) + " ") != std::string::npos;
  };
  EXPECT_EQ(testing::processor_has(Kernel::avx2), has("avx2")) << line;
  EXPECT_EQ(testing::processor_has(Kernel::avx512),
            has("avx2") && has("avx512f") && has("avx512vl") && has("avx512dq") && has("avx512bw"))
      << line;
}

// Every thread must render with the forced kernel, and a refused one must
// leave the choice as it was.
TEST(Kernel, ForcingReachesEveryThreadOrChangesNothing) {
  for (const Kernel kernel : kAllKernels) {
    const Kernel before = active_kernel();
    const bool forced = force_kernel(kernel);
    EXPECT_EQ(forced, testing::processor_has(kernel)) << kernel_name(kernel);
    Kernel seen = before;
    std::thread([&] { seen = active_kernel(); }).join();
    EXPECT_EQ(seen, forced ? kernel : before) << kernel_name(kernel);
  }
  unforce_kernel();
  EXPECT_EQ(active_kernel(), available_kernels().back());
}

}  // namespace
}  // namespace zarn
