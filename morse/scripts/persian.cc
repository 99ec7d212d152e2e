#include "morse/scripts/persian.h"

namespace zarn {
namespace {

// The Persian telegraph alphabet of Iran, which gives many letters other
// codes than the Arabic one does (kheh, zain, sad, ain, heh among them), so
// the same characters need a table of their own. The Arabic forms of kaf
// and yeh, which Persian text typed on an Arabic layout carries, are sent
// as the Persian letters they stand for.
constexpr ScriptLetter kPersian[] = {
    {U'\u0627', "101110"},              // ا
    {U'\u0628', "1110101010"},          // ب
    {U'\u062A', "1110"},                // ت
    {U'\u062B', "111010111010"},        // ث
    {U'\u062C', "10111011101110"},      // ج
    {U'\u062D', "10101010"},            // ح
    {U'\u062E', "111010101110"},        // خ
    {U'\u062F', "11101010"},            // د
    {U'\u0630', "1010101110"},          // ذ
    {U'\u0631', "10111010"},            // ر
    {U'\u0632', "111011101010"},        // ز
    {U'\u0633', "101010"},              // س
    {U'\u0634', "1110111011101110"},    // ش
    {U'\u0635', "101110101110"},        // ص
    {U'\u0636', "101011101010"},        // ض
    {U'\u0637', "10101110"},            // ط
    {U'\u0638', "11101011101110"},      // ظ
    {U'\u0639', "111011101110"},        // ع
    {U'\u063A', "101011101110"},        // غ
    {U'\u0641', "1010111010"},          // ف
    {U'\u0642', "111011101110101010"},  // ق
    {U'\u0643', "1110101110"},          // ك
    {U'\u0644', "1011101010"},          // ل
    {U'\u0645', "11101110"},            // م
    {U'\u0646', "111010"},              // ن
    {U'\u0647', "10"},                  // ه
    {U'\u0648', "1011101110"},          // و
    {U'\u064A', "1010"},                // ي
    {U'\u067E', "101110111010"},        // پ
    {U'\u0686', "11101110111010"},      // چ
    {U'\u0698', "1110111010"},          // ژ
    {U'\u06A9', "1110101110"},          // ک
    {U'\u06AF', "11101110101110"},      // گ
    {U'\u06CC', "1010"},                // ی
};
static_assert(sorted_by_code(kPersian));

}  // namespace

std::span<const ScriptLetter> persian_letters() {
  return kPersian;
}

}  // namespace zarn
