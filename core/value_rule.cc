#include "core/value_rule.h"

#include <cmath>
#include <cstdio>

namespace zarn {

// 8000, -60, 0.5: the table's limits, none with an exponent at 15 digits.
std::string number_text(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", value);
  return buf;
}

// "u8, s16 or alaw" for --help, "u8, s16, alaw" for a refusal.
std::string choices_text(std::span<const std::string_view> choices, std::string_view last_joint) {
  std::string text;
  for (std::size_t i = 0; i < choices.size(); ++i) {
    if (i > 0) text += i + 1 == choices.size() ? last_joint : ", ";
    text += choices[i];
  }
  return text;
}

bool bounded(const ValueRule& rule) {
  return std::isfinite(rule.high);
}

bool accepts(const ValueRule& rule, double value) {
  if (!std::isfinite(value)) return false;
  const bool above_low = rule.low_included ? value >= rule.low : value > rule.low;
  if (!above_low || value > rule.high) return false;
  return rule.kind != ValueRule::Kind::whole || value == std::trunc(value);
}

std::string allowed_text(const ValueRule& rule) {
  const std::string low = number_text(rule.low);
  switch (rule.kind) {
    case ValueRule::Kind::choice:
      return "one of " + choices_text(rule.choices, ", ");
    case ValueRule::Kind::whole:
      return "a whole number from " + low + " to " + number_text(rule.high);
    case ValueRule::Kind::number:
      if (bounded(rule) && !rule.low_included) {
        return "a number above " + low + " up to " + number_text(rule.high);
      }
      if (bounded(rule)) return "a number from " + low + " to " + number_text(rule.high);
      return rule.low_included ? "a number of " + low + " or more" : "a number above " + low;
    case ValueRule::Kind::text:
      if (!rule.form.empty()) return std::string(rule.form);
      break;
    case ValueRule::Kind::none:
      break;
  }
  return "a value";
}

}  // namespace zarn
