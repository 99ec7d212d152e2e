// Runs a suite once with each kernel the processor has, in one binary:
//   struct Suite : testing::EveryKernel {};
//   ZARN_EVERY_KERNEL(Suite);
//   TEST_P(Suite, Name) { ... }
// A kernel the processor lacks is reported as skipped, once its refusal has
// been checked, never as passed.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

#include "render/kernel_override.h"

namespace zarn {

// For gtest's messages: the kernel's name, not its bytes.
inline void PrintTo(Kernel kernel, std::ostream* out) {
  *out << kernel_name(kernel);
}

}  // namespace zarn

namespace zarn::testing {

inline bool processor_has(Kernel kernel) {
  return std::ranges::find(available_kernels(), kernel) != available_kernels().end();
}

class EveryKernel : public ::testing::TestWithParam<Kernel> {
 protected:
  void SetUp() override {
    const Kernel kernel = GetParam();
    ASSERT_EQ(force_kernel(kernel), processor_has(kernel)) << kernel_name(kernel);
    if (!processor_has(kernel)) GTEST_SKIP() << "this processor has no " << kernel_name(kernel);
    ASSERT_EQ(active_kernel(), kernel) << "forcing " << kernel_name(kernel) << " was ignored";
  }
  void TearDown() override { unforce_kernel(); }
};

inline std::string kernel_test_name(const ::testing::TestParamInfo<Kernel>& info) {
  return std::string(kernel_name(info.param));
}

}  // namespace zarn::testing

#define ZARN_EVERY_KERNEL(suite)                                                         \
  INSTANTIATE_TEST_SUITE_P(EveryKernel, suite, ::testing::ValuesIn(::zarn::kAllKernels), \
                           ::zarn::testing::kernel_test_name)
