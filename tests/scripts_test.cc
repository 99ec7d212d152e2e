// Every letter of every script's table against the published tables.
#include <gtest/gtest.h>

#include <string>

#include "morse/letters.h"
#include "morse/utf8.h"

namespace zarn {
namespace {

std::string units(std::string_view dots_and_dashes) {
  std::string out;
  for (char c : dots_and_dashes) out += c == '.' ? "10" : "1110";
  return out;
}

constexpr LetterChoice kUkrainian{.ukrainian = true}, kPersian{.persian = true};

// Each published table as letter and code, blank-separated.
struct Published {
  std::string_view source;
  LetterChoice choice;
  bool kana;
  std::string_view letters;
};

// clang-format off
const Published kTables[] = {
      {"Latin letters with marks: ITU-R M.1677-1 (E with an acute) and the extensions in international use as listed in Wikipedia, 'Morse code', letters with diacritics", {}, false,
       "À.--.- Å.--.- Ä.-.- Æ.-.- Ą.-.- Ć-.-.. Ĉ-.-.. Ç-.-.. Ð..--. "
       "Đ..-.. É..-.. Ę..-.. È.-..- Ł.-..- Ĝ--.-. Ĥ---- Ĵ.---. Ń--.-- "
       "Ñ--.-- Ó---. Ö---. Ø---. Ś...-... Ŝ...-. Š---- Þ.--.. Ü..-- "
       "Ŭ..-- Ź--..-. Ż--..-"},
      {"Russian: Wikipedia, 'Russian Morse code', and 'Morse code for non-Latin alphabets', Cyrillic (the hard sign on the soft sign's code)", {}, false,
       "А.- Б-... В.-- Г--. Д-.. Е. Ё. Ж...- З--.. И.. Й.--- К-.- "
       "Л.-.. М-- Н-. О--- П.--. Р.-. С... Т- У..- Ф..-. Х.... "
       "Ц-.-. Ч---. Ш---- Щ--.- Ъ-..- Ы-.-- Ь-..- Э..-.. Ю..-- Я.-.-"},
      {"Ukrainian: Wikipedia, 'Morse code for non-Latin alphabets', Cyrillic, the Ukrainian letters in its table", kUkrainian, false,
       "А.- Б-... В.-- Г--. Ґ--. Д-.. Е. Є..-.. Ж...- З--.. И-.-- "
       "І.. Ї.---. Й.--- К-.- Л.-.. М-- Н-. О--- П.--. Р.-. С... "
       "Т- У..- Ф..-. Х.... Ц-.-. Ч---. Ш---- Щ--.- Ь-..- Ю..-- "
       "Я.-.-"},
      {"Greek: Wikipedia, 'Morse code for non-Latin alphabets', Greek", {}, false,
       "Α.- Β-... Γ--. Δ-.. Ε. Ζ--.. Η.... Θ-.-. Ι.. Κ-.- Λ.-.. "
       "Μ-- Ν-. Ξ-..- Ο--- Π.--. Ρ.-. Σ... Τ- Υ-.-- Φ..-. Χ---- "
       "Ψ--.- Ω.--"},
      {"Hebrew: Weizmann Institute, 'Morse signs in Hebrew' (the Israeli standard); Wikipedia, 'Morse code for non-Latin alphabets', Hebrew", {}, false,
       "א.- ב-... ג--. ד-.. ה--- ו. ז--.. ח.... ט..- י.. ך-.- כ-.- "
       "ל.-.. ם-- מ-- ן-. נ-. ס-.-. ע.--- ף.--. פ.--. ץ.-- צ.-- "
       "ק--.- ר.-. ש... ת-"},
      {"Arabic: Wikipedia, 'Morse code for non-Latin alphabets', Arabic", {}, false,
       "ء. ا.- ب-... ت- ث-.-. ج.--- ح.... خ--- د-.. ذ--.. ر.-. "
       "ز---. س... ش---- ص-..- ض...- ط..- ظ-.-- ع.-.- غ--. ف..-. "
       "ق--.- ك-.- ل.-.. م-- ن-. ه..-.. و.-- ي.."},
      {"Persian: Wikipedia, 'Morse code for non-Latin alphabets', Persian; the Persian table of the Sistan Institute's glossary, 'Morse code'", kPersian, false,
       "ا.- ب-... ت- ث-.-. ج.--- ح.... خ-..- د-.. ذ...- ر.-. ز--.. "
       "س... ش---- ص.-.- ض..-.. ط..- ظ-.-- ع--- غ..-- ف..-. ق---... "
       "ك-.- ل.-.. م-- ن-. ه. و.-- ي.. پ.--. چ---. ژ--. ک-.- گ--.- "
       "ی.."},
      {"Wabun: Japan's Radio Station Operation Regulations, attached table 1; Wikipedia, 'Wabun code'", {}, true,
       "、.-.-.- 。.-.-.. ゛.. ゜..--. ア--.-- イ.- ウ..- エ-.--- "
       "オ.-... カ.-.. キ-.-.. ク...- ケ-.-- コ---- サ-.-.- シ--.-. "
       "ス---.- セ.---. ソ---. タ-. チ..-. ツ.--. テ.-.-- ト..-.. "
       "ナ.-. ニ-.-. ヌ.... ネ--.- ノ..-- ハ-... ヒ--..- フ--.. ヘ. "
       "ホ-.. マ-..- ミ..-.- ム- メ-...- モ-..-. ヤ.-- ユ-..-- ヨ-- "
       "ラ... リ--. ル-.--. レ--- ロ.-.- ワ-.- ヰ.-..- ヱ.--.. ヲ.--- "
       "ン.-.-. ー.--.- （-.--.- ）.-..-."},
};
// clang-format on

TEST(Scripts, EveryLetterHasItsPublishedCode) {
  for (const Published& table : kTables) {
    std::string_view rest = table.letters;
    while (!rest.empty()) {
      const std::string_view entry = rest.substr(0, rest.find(' '));
      rest.remove_prefix(std::min(entry.size() + 1, rest.size()));
      const std::size_t length = utf8_character_length(entry);
      const auto code = letter_code(utf8_code_point(entry.substr(0, length)), table.choice);
      ASSERT_TRUE(code) << table.source << ": " << entry;
      EXPECT_EQ(code->pattern, units(entry.substr(length))) << table.source << ": " << entry;
      EXPECT_EQ(code->kana, table.kana) << entry;
    }
  }
}

}  // namespace
}  // namespace zarn
