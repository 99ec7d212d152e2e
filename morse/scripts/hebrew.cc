#include "morse/scripts/hebrew.h"

namespace zarn {
namespace {

// The Hebrew code of the Israeli standard, first drawn up for Jewish
// signallers in 1922: most letters on the code of a Latin letter alike in
// sound, some on one alike in shape (tet on U, tav on T). A final form is
// the same letter and has its code.
constexpr ScriptLetter kHebrew[] = {
    {U'\u05D0', "101110"},          // א
    {U'\u05D1', "1110101010"},      // ב
    {U'\u05D2', "1110111010"},      // ג
    {U'\u05D3', "11101010"},        // ד
    {U'\u05D4', "111011101110"},    // ה
    {U'\u05D5', "10"},              // ו
    {U'\u05D6', "111011101010"},    // ז
    {U'\u05D7', "10101010"},        // ח
    {U'\u05D8', "10101110"},        // ט
    {U'\u05D9', "1010"},            // י
    {U'\u05DA', "1110101110"},      // ך
    {U'\u05DB', "1110101110"},      // כ
    {U'\u05DC', "1011101010"},      // ל
    {U'\u05DD', "11101110"},        // ם
    {U'\u05DE', "11101110"},        // מ
    {U'\u05DF', "111010"},          // ן
    {U'\u05E0', "111010"},          // נ
    {U'\u05E1', "111010111010"},    // ס
    {U'\u05E2', "10111011101110"},  // ע
    {U'\u05E3', "101110111010"},    // ף
    {U'\u05E4', "101110111010"},    // פ
    {U'\u05E5', "1011101110"},      // ץ
    {U'\u05E6', "1011101110"},      // צ
    {U'\u05E7', "11101110101110"},  // ק
    {U'\u05E8', "10111010"},        // ר
    {U'\u05E9', "101010"},          // ש
    {U'\u05EA', "1110"},            // ת
};
static_assert(sorted_by_code(kHebrew));

}  // namespace

std::span<const ScriptLetter> hebrew_letters() {
  return kHebrew;
}

}  // namespace zarn
