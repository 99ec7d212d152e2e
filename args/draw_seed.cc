#include "args/draw_seed.h"

#include <random>

namespace zarn {

std::uint64_t draw_seed() {
  std::random_device entropy;
  // random_device gives 32 bits a call.
  const std::uint64_t high = entropy();
  return high << 32 | entropy();
}

}  // namespace zarn
