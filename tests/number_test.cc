#include "args/number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zarn {
namespace {

constexpr float kUntouched = 7.5f;

struct Read {
  std::optional<NumberError> error;
  float value;
};

Read read(std::string_view text) {
  const auto got = read_number(NumberField(text), kUntouched);
  if (!got) return {got.error(), kUntouched};
  return {std::nullopt, *got};
}

TEST(ReadNumber, AcceptsRealConstants) {
  const struct {
    const char* text;
    float value;
  } kCases[] = {
      {"20", 20.0f},
      {"20.", 20.0f},
      {"+20", 20.0f},
      {"   20", 20.0f},
      {"\t 20", 20.0f},
      {".5", 0.5f},
      {"2e1", 20.0f},
      {"2E+1", 20.0f},
      {"2d1", 20.0f},
      {"2D1", 20.0f},
      {"2q1", 20.0f},
      {"2Q-1", 0.2f},
      {"-5", -5.0f},
      {"20,5", 20.0f},
      {"20/", 20.0f},
      {"20 abc", 20.0f},
      {"20)x", 20.0f},
      {"0.1", 0.1f},
      {"1361.975", 1361.975f},
      // The field holds 8 characters; the rest of a longer text is cut.
      {"12.3456789", 12.34567f},
      {"12345678901", 12345678.0f},
      // Too small to represent: the nearest subnormal, or zero, no error.
      {"1e-45", std::numeric_limits<float>::denorm_min()},
      {"1e-46", 0.0f},
  };
  for (const auto& c : kCases) {
    const auto r = read(c.text);
    EXPECT_FALSE(r.error) << c.text;
    EXPECT_EQ(r.value, c.value) << c.text;
  }
}

TEST(ReadNumber, RoundsTheDecimalStraightToSinglePrecision) {
  // 16777217 lies halfway between two floats; ties go to the even one.
  EXPECT_EQ(read("16777217").value, 16777216.0f);
  EXPECT_EQ(read("16777219").value, 16777220.0f);
}

TEST(ReadNumber, LeadingCommaOrSlashKeepsTheValue) {
  for (const char* text : {",", "/", "  ,20", " /5"}) {
    const auto r = read(text);
    EXPECT_FALSE(r.error) << text;
    EXPECT_EQ(r.value, kUntouched) << text;
  }
}

TEST(ReadNumber, Failures) {
  const struct {
    const char* text;
    NumberError error;
  } kCases[] = {
      {"", NumberError::empty},
      {"        ", NumberError::empty},
      {"\t\t", NumberError::empty},
      {"abc", NumberError::malformed},
      {"20abc", NumberError::malformed},
      {"2..0", NumberError::malformed},
      {"++2", NumberError::malformed},
      {"Inf", NumberError::malformed},
      {"NaN", NumberError::malformed},
      {"+", NumberError::malformed},
      {".", NumberError::malformed},
      {"-.e1", NumberError::malformed},
      {"0x10", NumberError::malformed},
      {"1e99", NumberError::out_of_range},
      {"-1e99", NumberError::out_of_range},
      {"4e38", NumberError::out_of_range},
      // Forms a general free-form reader knows but this tool refuses.
      {"3*4", NumberError::malformed},
      {"3*", NumberError::malformed},
      {"2+1", NumberError::malformed},
      {"T", NumberError::malformed},
      {".false.", NumberError::malformed},
      {"2e", NumberError::malformed},
      {"2e+", NumberError::malformed},
      {"'20'", NumberError::malformed},
      {"(1,2)", NumberError::malformed},
  };
  for (const auto& c : kCases) {
    const auto r = read(c.text);
    EXPECT_EQ(r.error, c.error) << c.text;
    EXPECT_EQ(r.value, kUntouched) << c.text;
  }
}

}  // namespace
}  // namespace zarn
