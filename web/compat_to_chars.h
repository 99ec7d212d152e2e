// std::to_chars for floating point, for the web build's older C++ library
// only: included by web/compat.h there, and nowhere else.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace zarn_compat {

template <class F>
F read_back(const char* text) {
  if constexpr (sizeof(F) == sizeof(float)) return std::strtof(text, nullptr);
  return static_cast<F>(std::strtod(text, nullptr));
}

// The shortest round trip: the fewest significant digits that read back as
// `value`, then written fixed or scientific, whichever is shorter (fixed on
// a tie), as std::to_chars(first, last, value) writes them.
template <class F>
std::string shortest(F value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (value == 0) return std::signbit(value) ? "-0" : "0";
  constexpr int kMaxDigits = sizeof(F) == sizeof(float) ? 9 : 17;
  char sci[40];
  int digits = 1;
  for (; digits < kMaxDigits; ++digits) {
    std::snprintf(sci, sizeof sci, "%.*e", digits - 1, static_cast<double>(value));
    if (read_back<F>(sci) == value) break;
  }
  std::snprintf(sci, sizeof sci, "%.*e", digits - 1, static_cast<double>(value));
  const char* e = std::strchr(sci, 'e');
  const int exponent = std::atoi(e + 1);
  std::string mantissa;  // the significant digits alone
  for (const char* p = sci; p != e; ++p) {
    if (*p >= '0' && *p <= '9') mantissa += *p;
  }
  const std::string sign = value < 0 ? "-" : "";
  char exp_text[8];
  std::snprintf(exp_text, sizeof exp_text, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  std::string scientific = sign + mantissa.substr(0, 1);
  if (mantissa.size() > 1) scientific += "." + mantissa.substr(1);
  scientific += exp_text;
  std::string fixed = sign;
  const int whole = exponent + 1;  // digits before the point
  if (whole <= 0) {
    fixed += "0." + std::string(static_cast<std::size_t>(-whole), '0') + mantissa;
  } else if (static_cast<std::size_t>(whole) >= mantissa.size()) {
    fixed += mantissa + std::string(static_cast<std::size_t>(whole) - mantissa.size(), '0');
  } else {
    fixed += mantissa.substr(0, static_cast<std::size_t>(whole)) + "." +
             mantissa.substr(static_cast<std::size_t>(whole));
  }
  return fixed.size() <= scientific.size() ? fixed : scientific;
}

template <class F>
std::to_chars_result to_chars(char* first, char* last, F value) {
  const std::string text = shortest(value);
  if (static_cast<std::size_t>(last - first) < text.size()) {
    return {last, std::errc::value_too_large};
  }
  std::memcpy(first, text.data(), text.size());
  return {first + text.size(), std::errc()};
}

}  // namespace zarn_compat

namespace std {
inline to_chars_result to_chars(char* first, char* last, float value) {
  return zarn_compat::to_chars(first, last, value);
}
inline to_chars_result to_chars(char* first, char* last, double value) {
  return zarn_compat::to_chars(first, last, value);
}
}  // namespace std
