// For the tests and the sine check alone: one kernel for every hot loop, so
// that one binary can prove each kernel the processor has. The product never
// forces one.
#pragma once

#include "render/kernel.h"

namespace zarn {

// Makes `kernel` the one every loop runs, in every thread. False, changing
// nothing, if this processor lacks it: a test must never believe it ran a
// kernel that did not run.
[[nodiscard]] bool force_kernel(Kernel kernel);

// Back to the best this processor has.
void unforce_kernel();

}  // namespace zarn
