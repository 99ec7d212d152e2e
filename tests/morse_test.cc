#include <gtest/gtest.h>

#include <string>

#include "morse/callsign.h"

namespace zarn {
namespace {

// Units written as a string of '1' and '0', for readable expectations.
std::string encode(std::string_view callsign) {
  const auto encoded = encode_callsign(callsign);
  EXPECT_TRUE(encoded) << callsign;
  std::string units;
  if (encoded) {
    for (auto unit : encoded->units) units += unit ? '1' : '0';
  }
  return units;
}

// International Morse by the book, expanded by the timing rule: a dot is one
// unit down and one up, a dash three down and one up.
std::string from_code(std::string_view dots_and_dashes) {
  std::string units;
  for (char c : dots_and_dashes) units += c == '.' ? "10" : "1110";
  return units;
}

TEST(Morse, EverySymbolIsItsCodeThenTheLetterGap) {
  const struct {
    char symbol;
    const char* code;
  } kCodes[] = {
      {'0', "-----"}, {'1', ".----"}, {'2', "..---"}, {'3', "...--"}, {'4', "....-"},
      {'5', "....."}, {'6', "-...."}, {'7', "--..."}, {'8', "---.."}, {'9', "----."},
      {'A', ".-"},    {'B', "-..."},  {'C', "-.-."},  {'D', "-.."},   {'E', "."},
      {'F', "..-."},  {'G', "--."},   {'H', "...."},  {'I', ".."},    {'J', ".---"},
      {'K', "-.-"},   {'L', ".-.."},  {'M', "--"},    {'N', "-."},    {'O', "---"},
      {'P', ".--."},  {'Q', "--.-"},  {'R', ".-."},   {'S', "..."},   {'T', "-"},
      {'U', "..-"},   {'V', "...-"},  {'W', ".--"},   {'X', "-..-"},  {'Y', "-.--"},
      {'Z', "--.."},  {'/', "-..-."},
  };
  for (const auto& [symbol, code] : kCodes) {
    EXPECT_EQ(encode(std::string(1, symbol)), from_code(code) + "00") << symbol;
  }
}

TEST(Morse, WorkedExamples) {
  EXPECT_EQ(encode("E         "), "1000");
  EXPECT_EQ(encode("AB        "),
            "10111000"
            "111010101000");
  EXPECT_EQ(encode("Q1ABC     ").size(), 70u);
  EXPECT_EQ(encode("Q1ABC/M   ").size(), 96u);
}

TEST(Morse, BlankEndsTheCallsign) {
  EXPECT_EQ(encode("          "), "");
  EXPECT_EQ(encode(" AB       "), "");
  EXPECT_EQ(encode("AB CD     "), encode("AB"));
  // What follows a blank is never looked at, even if it has no code.
  EXPECT_EQ(encode("AB #$%    "), encode("AB"));
}

TEST(Morse, LowerCaseFoldsToUpper) {
  EXPECT_EQ(encode("q1abc/m   "), encode("Q1ABC/M   "));
}

TEST(Morse, FullFieldIsEncodedAndNothingBeyondIt) {
  EXPECT_EQ(encode("0000000000").size(), 220u);
  // Only the field's width is read, whatever lies past it.
  EXPECT_EQ(encode(std::string_view("0000000000#", 10)).size(), 220u);
}

TEST(Morse, RefusesCharactersWithoutCode) {
  const struct {
    const char* field;
    unsigned char code;
    int position;
  } kCases[] = {
      {"#         ", '#', 1},        {"AB?       ", '?', 3},  {"Q1AB\tC    ", '\t', 5},
      {"A\xc3\xa9       ", 0xC3, 2}, {"ABCDEFGHI.", '.', 10}, {"A-B       ", '-', 2},
  };
  for (const auto& c : kCases) {
    const auto unknown = encode_callsign(c.field);
    ASSERT_FALSE(unknown) << c.field;
    EXPECT_EQ(unknown.error().code, c.code) << c.field;
    EXPECT_EQ(unknown.error().position, c.position) << c.field;
  }
}

}  // namespace
}  // namespace zarn
