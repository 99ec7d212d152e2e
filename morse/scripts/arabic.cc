#include "morse/scripts/arabic.h"

namespace zarn {
namespace {

// The Arabic telegraph alphabet: each letter on the code of the Latin letter
// nearest in sound where there is one, the emphatic and guttural letters on
// the codes of Latin letters Arabic has no use for; the hamza on its own is
// a dot.
constexpr ScriptLetter kArabic[] = {
    {U'\u0621', "10"},                // ء
    {U'\u0627', "101110"},            // ا
    {U'\u0628', "1110101010"},        // ب
    {U'\u062A', "1110"},              // ت
    {U'\u062B', "111010111010"},      // ث
    {U'\u062C', "10111011101110"},    // ج
    {U'\u062D', "10101010"},          // ح
    {U'\u062E', "111011101110"},      // خ
    {U'\u062F', "11101010"},          // د
    {U'\u0630', "111011101010"},      // ذ
    {U'\u0631', "10111010"},          // ر
    {U'\u0632', "11101110111010"},    // ز
    {U'\u0633', "101010"},            // س
    {U'\u0634', "1110111011101110"},  // ش
    {U'\u0635', "111010101110"},      // ص
    {U'\u0636', "1010101110"},        // ض
    {U'\u0637', "10101110"},          // ط
    {U'\u0638', "11101011101110"},    // ظ
    {U'\u0639', "101110101110"},      // ع
    {U'\u063A', "1110111010"},        // غ
    {U'\u0641', "1010111010"},        // ف
    {U'\u0642', "11101110101110"},    // ق
    {U'\u0643', "1110101110"},        // ك
    {U'\u0644', "1011101010"},        // ل
    {U'\u0645', "11101110"},          // م
    {U'\u0646', "111010"},            // ن
    {U'\u0647', "101011101010"},      // ه
    {U'\u0648', "1011101110"},        // و
    {U'\u064A', "1010"},              // ي
};
static_assert(sorted_by_code(kArabic));

}  // namespace

std::span<const ScriptLetter> arabic_letters() {
  return kArabic;
}

}  // namespace zarn
