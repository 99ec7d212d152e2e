// Debian's emscripten ships a libc++ (LLVM 14) without two C++20 pieces the
// tool uses: std::bit_cast, which its compiler has as a builtin, and
// std::to_chars for floating point, which diagnostics use to print a number
// in the fewest characters that read back as it. The web build supplies
// both, force-included; the browser test holds the page's diagnostics to
// the executable's.
#pragma once

#ifdef __cplusplus
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <version>

#if !defined(__cpp_lib_bit_cast)
namespace std {
template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}
}  // namespace std
#endif

// libc++ 14 and later have the floating-point overloads.
#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 14000
#include "web/compat_to_chars.h"
#endif
#endif
