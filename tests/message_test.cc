#include "morse/message.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/input_error_text.h"

namespace zarn {
namespace {

using Units = std::vector<std::uint8_t>;

// One character from its dots and dashes, with its three-unit letter gap.
Units from_code(std::string_view code) {
  Units units;
  for (char symbol : code) {
    units.insert(units.end(), {1, 0});
    if (symbol == '-') units.insert(units.end() - 1, {1, 1});
  }
  units.insert(units.end(), {0, 0});
  return units;
}

Units joined(std::initializer_list<Units> pieces) {
  Units all;
  for (const Units& piece : pieces) all.insert(all.end(), piece.begin(), piece.end());
  return all;
}

Units encoded(std::string_view text, TextForm form = TextForm::one_line,
              const LetterChoice& letters = {}) {
  const auto result = encode_message(text, form, letters);
  if (result) return result->units;
  ADD_FAILURE() << text << " refused at " << result.error().position;
  return {};
}

TEST(EncodeMessage, SendsPunctuationAndProsignsWithTheirCodes) {
  const std::pair<std::string_view, std::string_view> kCases[] = {
      {".", ".-.-.-"},   {",", "--..--"},        {":", "---..."},    {"?", "..--.."},
      {"'", ".----."},   {"-", "-....-"},        {"/", "-..-."},     {"(", "-.--."},
      {")", "-.--.-"},   {"\"", ".-..-."},       {"=", "-...-"},     {"+", ".-.-."},
      {"@", ".--.-."},   {"<AR>", ".-.-."},      {"<sk>", "...-.-"}, {"<BT>", "-...-"},
      {"<KN>", "-.--."}, {"<SOS>", "...---..."}, {"<e>", "."},
  };
  for (const auto& [text, code] : kCases) EXPECT_EQ(encoded(text), from_code(code)) << text;
  EXPECT_EQ(encoded("<AR>"), (Units{1, 0, 1, 1, 1, 0, 1, 0, 1, 1, 1, 0, 1, 0, 0, 0}));
}

TEST(EncodeMessage, SeparatesWordsBySevenKeyUpUnits) {
  const Units e = from_code("."), t = from_code("-"), word_gap(4, 0);
  const std::pair<std::string_view, Units> kCases[] = {
      {"E T", joined({e, word_gap, t})},
      {"  E \t  T\t ", joined({e, word_gap, t})},
      {"E<AR>T", joined({e, from_code(".-.-."), t})},
      {"E <AR> T", joined({e, word_gap, from_code(".-.-."), word_gap, t})},
  };
  for (const auto& [text, units] : kCases) EXPECT_EQ(encoded(text), units) << text;
  // In a file's lines every line end is a blank; a byte order mark sends nothing.
  for (std::string_view text : {"E\nT", "E\r\nT", "E\rT", "\xef\xbb\xbf\r\nE \r\n\n\t\rT\n"}) {
    EXPECT_EQ(encoded(text, TextForm::lines), joined({e, word_gap, t})) << text;
  }
  // From the last key-down of one word to the first of the next.
  const Units units = encoded("E E");
  EXPECT_EQ(Units(units.begin() + 1, units.end() - 4), Units(7, 0));
}

TEST(EncodeMessage, GivesTheCallsignEncodersUnitsForACallsign) {
  for (std::string_view callsign :
       {"Q1ABC", "q1abc/m", "0123456789", "ABCDEFGHIJ", "klmnopqrst", "UVWXYZ/", "E"}) {
    const auto expected = encode_callsign(callsign);
    ASSERT_TRUE(expected) << callsign;
    EXPECT_EQ(encoded(callsign), expected->units) << callsign;
  }
}

std::string refusal(std::string_view text, TextForm form = TextForm::one_line,
                    const LetterChoice& letters = {}) {
  const auto result = encode_message(text, form, letters);
  if (result) return "(accepted)";
  return message_error_text(result.error());
}

// Positions count characters: each well-formed UTF-8 character, or each byte
// that begins none, is one.
TEST(EncodeMessage, RefusesNamingTheCharacterAndItsPosition) {
  const std::pair<std::string_view, std::string_view> kCases[] = {
      {"Q#", "message character '#' at position 2 has no Morse code"},
      {"A\tB\n", "message character '\\n' at position 4 has no Morse code"},
      {"Q\xc3\xad", "message character '\xc3\xad' at position 2 has no Morse code"},
      {"A\xe2\x82\xac", "message character '\xe2\x82\xac' at position 2 has no Morse code"},
      {"A\xe2\x82"
       "A",
       "message character '\\xe2' at position 2 has no Morse code"},
      {"A\xc1\xbf", "message character '\\xc1' at position 2 has no Morse code"},  // overlong
      {"A\xe0\x9f\xbf", "message character '\\xe0' at position 2 has no Morse code"},
      {"A\xf0\x8f\xbf\xbf", "message character '\\xf0' at position 2 has no Morse code"},
      {"A\xed\xa0\x80", "message character '\\xed' at position 2 has no Morse code"},  // surrogate
      {"A\xf4\x90\x80\x80", "message character '\\xf4' at position 2 has no Morse code"},
      {"A\xf5\x80\x80\x80", "message character '\\xf5' at position 2 has no Morse code"},
      // Cut short by the end of the text, whatever lies beyond it.
      {std::string_view("A\xe2\x82\xac", 3),
       "message character '\\xe2' at position 2 has no Morse code"},
      {"A\xc2\x85", "message character '\\xc2\\x85' at position 2 has no Morse code"},
      // Bracket errors come first, so characters before them are counted:
      // U+00E9, U+D7FF, U+10FFFF, U+1F600.
      {"\xc3\xa9\xed\x9f\xbf\xf4\x8f\xbf\xbf\xf0\x9f\x98\x80>",
       "message has a '>' without '<' at position 5"},
      {"#\xff<", "message has an unclosed '<' at position 3"},
      {"<AR> <K", "message has an unclosed '<' at position 6"},
      {"A<>", "message has an empty prosign '<>' at position 2"},
      {"\xc3\xa9<5>", "message character '5' at position 3 is not a letter, which a prosign needs"},
      {"<A\xc3\xa9R>",
       "message character '\xc3\xa9' at position 3 is not a letter, which a prosign needs"},
      {"<A R>", "message character ' ' at position 3 is not a letter, which a prosign needs"},
      {"<A<R>", "message character '<' at position 3 is not a letter, which a prosign needs"},
      {"<AR>>", "message has a '>' without '<' at position 5"},
      {"", "message is empty"},
      {" \t ", "message is empty"},
  };
  for (const auto& [text, diagnostic] : kCases) {
    EXPECT_EQ(refusal(text), diagnostic) << testing::PrintToString(text);
  }
}

// A file's message is placed by line and column, counting characters; LF,
// CR LF and CR each end a line, and a byte order mark is not a column.
TEST(EncodeMessage, RefusesALineNamingItsLineAndColumn) {
  const std::pair<std::string_view, std::string_view> kCases[] = {
      {"CQ\r\nQ1#BC", "message character '#' at line 2, column 3 has no Morse code"},
      {"A\rB\r\n\n\xc3\xad#", "message character '\xc3\xad' at line 4, column 1 has no Morse code"},
      {"\xef\xbb\xbfQ#", "message character '#' at line 1, column 2 has no Morse code"},
      // Past the start it is an invisible character, shown escaped.
      {"Q\xef\xbb\xbf",
       "message character '\\xef\\xbb\\xbf' at line 1, column 2 has no Morse code"},
      // Another encoding is named before anything else.
      {"A#\n<\xe9", "message byte '\\xe9' at line 2, column 2 is not UTF-8"},
      {"AB\r\n\xef\xbb", "message byte '\\xef' at line 2, column 1 is not UTF-8"},
      {"A\n<AR", "message has an unclosed '<' at line 2, column 1"},
      {"<A\r\nR>",
       "message character '\\r' at line 1, column 3 is not a letter, which a prosign needs"},
      {"\r\n\n", "message is empty"},
  };
  for (const auto& [text, diagnostic] : kCases) {
    EXPECT_EQ(refusal(text, TextForm::lines), diagnostic) << testing::PrintToString(text);
  }
}

constexpr LetterChoice kCh{.ch = true}, kFold{.fold = true}, kUkrainian{.ukrainian = true},
    kPersian{.persian = true};

// Each message sends what the other one does, often in Latin codes and
// prosigns: every letter in either case, the kana code's prosigns around
// the kana only, the letter options.
TEST(EncodeMessage, SendsEveryScriptsLettersLikeTheirEquivalents) {
  const struct {
    std::string_view text;
    LetterChoice letters;
    std::string_view same;
  } kCases[] = {
      {"\u00e0\u00e5\u00e4\u00e6\u0105\u0107\u0109\u00e7\u00f0\u0111\u00e9\u0119\u00e8\u011d"
       "\u0125\u0135\u0142\u0144\u00f1\u00f3\u00f6\u00f8\u015b\u015d\u0161\u00fe\u00fc\u016d"
       "\u017a\u017c",
       {},
       "\u00c0\u00c5\u00c4\u00c6\u0104\u0106\u0108\u00c7\u00d0\u0110\u00c9\u0118\u00c8\u011c"
       "\u0124\u0134\u0141\u0143\u00d1\u00d3\u00d6\u00d8\u015a\u015c\u0160\u00de\u00dc\u016c"
       "\u0179\u017b"},
      {"абвгдеёжзийклмнопрстуфхцчшщъыьэюя", {}, "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"},
      {"ґєії", kUkrainian, "ҐЄІЇ"},
      {"αβγδεζηθικλμνξοπρστυφχψως", {}, "ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩΣ"},
      // The same characters, other letters in another language.
      {"И", {}, "I"},
      {"И", kUkrainian, "Y"},
      {"\u0647", {}, "<ID>"},
      {"\u0647", kPersian, "E"},
      {"ワ", {}, "<DO>K<SN>"},
      {"CQ ワタ DE", {}, "CQ <DO>KN<SN> DE"},
      {"Q1ABC мир はな 73", {}, "Q1ABC MIR <DO>BR<SN> 73"},
      {"ワ タ", {}, "<DO>K N<SN>"},
      {"ワ<AR>タ", {}, "<DO>K<SN><AR><DO>N<SN>"},
      {"わッ", {}, "<DO>KP<SN>"},        // hiragana, a small kana
      {"ガパ", {}, "<DO>LIB<IME><SN>"},  // KA and the voicing mark, HA and the half-voicing one
      {"か\u3099は\u309a", {}, "<DO>LIB<IME><SN>"},  // the combining marks
      {"Chata cH", kCh, "<TTTT>ATA <TTTT>"},
      {"C H", kCh, "C H"},
      {"\u00cd\u00f1igo \u00e3", kFold, "I\u00d1IGO A"},
      {"\u03ac\u0390 \u0623", kFold, "\u0391\u0399 \u0627"},
  };
  for (const auto& [text, letters, same] : kCases) {
    EXPECT_EQ(encoded(text, TextForm::one_line, letters),
              encoded(same, TextForm::one_line, letters))
        << text;
  }
}

TEST(EncodeMessage, RefusesLettersOutsideTheChosenTablesByLineAndColumn) {
  const struct {
    std::string_view text;
    LetterChoice letters;
    std::string_view diagnostic;
  } kCases[] = {
      {"CQ\n\u00cd", {}, "message character '\u00cd' at line 2, column 1 has no Morse code"},
      {"A \u0126", kFold, "message character '\u0126' at line 1, column 3 has no Morse code"},
      {"\u067e", {}, "message character '\u067e' at line 1, column 1 has no Morse code"},
      {"\u0407", {}, "message character '\u0407' at line 1, column 1 has no Morse code"},
      {"\u042b", kUkrainian, "message character '\u042b' at line 1, column 1 has no Morse code"},
      {"ワゝ", {}, "message character 'ゝ' at line 1, column 2 has no Morse code"},
  };
  for (const auto& [text, letters, diagnostic] : kCases) {
    EXPECT_EQ(refusal(text, TextForm::lines, letters), diagnostic) << text;
  }
}

}  // namespace
}  // namespace zarn
