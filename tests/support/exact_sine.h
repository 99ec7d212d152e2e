// The tests' reference sine: sin(2 pi f k / rate), f k reduced modulo the rate
// exactly in integers, the rest in long double.
#pragma once

#include <cmath>
#include <cstdint>

namespace zarn::testing {

__extension__ typedef __int128 Wide;

// frac(f k / rate). With f = m 2^e exactly, f k mod rate is
// (m k mod rate 2^-e) 2^e: integers of at most 90 bits here.
inline double exact_sine(double frequency_hz, double sample_rate, std::int64_t k) {
  int exponent = 0;
  const double fraction = std::frexp(frequency_hz, &exponent);
  const auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, 53));
  const Wide modulus = Wide{static_cast<std::int64_t>(sample_rate)} << (53 - exponent);
  Wide remainder = Wide{mantissa} % modulus * k % modulus;
  if (remainder < 0) remainder += modulus;
  const long double turns = static_cast<long double>(remainder) / static_cast<long double>(modulus);
  return static_cast<double>(std::sin(6.283185307179586476925286766559L * turns));
}

}  // namespace zarn::testing
