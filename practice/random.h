// A small random number generator of fixed integer arithmetic, so that a
// seed gives the same practice set on every machine, compiler and library:
// the standard distributions are free to differ between implementations.
#pragma once

#include <cstdint>

namespace zarn {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  // The next 64 bits (SplitMix64). Inline: the noise of a sound draws once
  // a sample.
  std::uint64_t next() {
    state_ += 0x9E3779B97F4A7C15u;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }

  // A number from 0 to bound - 1, every one equally likely; bound above 0.
  std::uint64_t below(std::uint64_t bound);

  // A number from low to high, both included.
  int between(int low, int high);

 private:
  std::uint64_t state_;
};

}  // namespace zarn
