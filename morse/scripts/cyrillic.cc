#include "morse/scripts/cyrillic.h"

namespace zarn {
namespace {

// The Russian telegraph alphabet as the government of Russia enacted it in
// 1856: each letter on the code of the Latin letter nearest in sound (B, W
// for the V sound, G, D), the rest on the codes of Latin letters Russian has
// no use for (Q for the shch sound, X for the soft sign). The hard sign
// shares the soft sign's code; the yo is sent as the ye.
constexpr ScriptLetter kRussian[] = {
    {U'\u0401', "10"},                // Ё
    {U'\u0410', "101110"},            // А
    {U'\u0411', "1110101010"},        // Б
    {U'\u0412', "1011101110"},        // В
    {U'\u0413', "1110111010"},        // Г
    {U'\u0414', "11101010"},          // Д
    {U'\u0415', "10"},                // Е
    {U'\u0416', "1010101110"},        // Ж
    {U'\u0417', "111011101010"},      // З
    {U'\u0418', "1010"},              // И
    {U'\u0419', "10111011101110"},    // Й
    {U'\u041A', "1110101110"},        // К
    {U'\u041B', "1011101010"},        // Л
    {U'\u041C', "11101110"},          // М
    {U'\u041D', "111010"},            // Н
    {U'\u041E', "111011101110"},      // О
    {U'\u041F', "101110111010"},      // П
    {U'\u0420', "10111010"},          // Р
    {U'\u0421', "101010"},            // С
    {U'\u0422', "1110"},              // Т
    {U'\u0423', "10101110"},          // У
    {U'\u0424', "1010111010"},        // Ф
    {U'\u0425', "10101010"},          // Х
    {U'\u0426', "111010111010"},      // Ц
    {U'\u0427', "11101110111010"},    // Ч
    {U'\u0428', "1110111011101110"},  // Ш
    {U'\u0429', "11101110101110"},    // Щ
    {U'\u042A', "111010101110"},      // Ъ
    {U'\u042B', "11101011101110"},    // Ы
    {U'\u042C', "111010101110"},      // Ь
    {U'\u042D', "101011101010"},      // Э
    {U'\u042E', "101011101110"},      // Ю
    {U'\u042F', "101110101110"},      // Я
};
static_assert(sorted_by_code(kRussian));

// The Ukrainian alphabet on the same codes: its I with a dot on the Russian
// I's, its I (a different vowel) on the Russian YERY's, its YE on the Russian
// E's; YI and GHE with an upturn have codes of their own. A table of its
// own, as the same character is a different letter in the two languages.
constexpr ScriptLetter kUkrainian[] = {
    {U'\u0404', "101011101010"},      // Є
    {U'\u0406', "1010"},              // І
    {U'\u0407', "1011101110111010"},  // Ї
    {U'\u0410', "101110"},            // А
    {U'\u0411', "1110101010"},        // Б
    {U'\u0412', "1011101110"},        // В
    {U'\u0413', "1110111010"},        // Г
    {U'\u0414', "11101010"},          // Д
    {U'\u0415', "10"},                // Е
    {U'\u0416', "1010101110"},        // Ж
    {U'\u0417', "111011101010"},      // З
    {U'\u0418', "11101011101110"},    // И
    {U'\u0419', "10111011101110"},    // Й
    {U'\u041A', "1110101110"},        // К
    {U'\u041B', "1011101010"},        // Л
    {U'\u041C', "11101110"},          // М
    {U'\u041D', "111010"},            // Н
    {U'\u041E', "111011101110"},      // О
    {U'\u041F', "101110111010"},      // П
    {U'\u0420', "10111010"},          // Р
    {U'\u0421', "101010"},            // С
    {U'\u0422', "1110"},              // Т
    {U'\u0423', "10101110"},          // У
    {U'\u0424', "1010111010"},        // Ф
    {U'\u0425', "10101010"},          // Х
    {U'\u0426', "111010111010"},      // Ц
    {U'\u0427', "11101110111010"},    // Ч
    {U'\u0428', "1110111011101110"},  // Ш
    {U'\u0429', "11101110101110"},    // Щ
    {U'\u042C', "111010101110"},      // Ь
    {U'\u042E', "101011101110"},      // Ю
    {U'\u042F', "101110101110"},      // Я
    {U'\u0490', "1110111010"},        // Ґ
};
static_assert(sorted_by_code(kUkrainian));

}  // namespace

std::span<const ScriptLetter> russian_letters() {
  return kRussian;
}

std::span<const ScriptLetter> ukrainian_letters() {
  return kUkrainian;
}

}  // namespace zarn
