#include "practice/random.h"

namespace zarn {

// Draws past the last whole multiple of `bound` are drawn again, so that
// the remainder favours no number.
std::uint64_t Random::below(std::uint64_t bound) {
  const std::uint64_t rejected = (0 - bound) % bound;  // 2^64 mod bound
  for (;;) {
    const std::uint64_t draw = next();
    if (draw >= rejected) return draw % bound;
  }
}

int Random::between(int low, int high) {
  const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low) + 1;
  return low + static_cast<int>(below(span));
}

}  // namespace zarn
