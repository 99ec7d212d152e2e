#include "args/number.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

namespace zarn {
namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
bool is_sign(char c) {
  return c == '+' || c == '-';
}
// Besides e, the D and Q of double- and quad-precision constants.
bool is_exponent_letter(char c) {
  return std::string_view("EeDdQq").find(c) != std::string_view::npos;
}

// Checks that `token` is a real constant: [sign] digits with at most one
// point and at least one digit, then optionally an exponent letter, [sign]
// and at least one digit. Copies it into `out` in the C library's spelling
// (exponent letter 'e') and returns false for anything else.
bool normalise_real(std::string_view token, char* out) {
  std::size_t i = 0;
  auto copy_sign = [&] {
    if (i < token.size() && is_sign(token[i])) *out++ = token[i++];
  };
  auto copy_digits = [&] {
    std::size_t n = 0;
    for (; i < token.size() && is_digit(token[i]); ++n) *out++ = token[i++];
    return n;
  };
  copy_sign();
  std::size_t mantissa_digits = copy_digits();
  if (i < token.size() && token[i] == '.') {
    *out++ = token[i++];
    mantissa_digits += copy_digits();
  }
  if (mantissa_digits == 0) return false;
  if (i < token.size() && is_exponent_letter(token[i])) {
    *out++ = 'e';
    ++i;
    copy_sign();
    if (copy_digits() == 0) return false;
  }
  *out = '\0';
  return i == token.size();
}

}  // namespace

Result<float, NumberError> read_number(const NumberField& field, float unchanged) {
  std::string_view text = field.view();
  const auto start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return NumberError::empty;
  text.remove_prefix(start);
  // A null value: the number keeps what it had.
  if (text.front() == ',' || text.front() == '/') return unchanged;
  const std::string_view token = text.substr(0, text.find_first_of(" \t,/)"));

  char normalised[sizeof(field.chars) + 1];
  if (!normalise_real(token, normalised)) return NumberError::malformed;
  // strtof rounds the decimal value straight to single precision; too small
  // a magnitude comes back as a subnormal or zero, which is what we want.
  const float read = std::strtof(normalised, nullptr);
  if (std::isinf(read)) return NumberError::out_of_range;
  return read;
}

}  // namespace zarn
