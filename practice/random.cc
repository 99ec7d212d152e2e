#include "practice/random.h"

namespace zarn {

std::uint64_t Random::next() {
  state_ += 0x9E3779B97F4A7C15u;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

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
