#include "morse/scripts/latin_marks.h"

namespace zarn {
namespace {

// The letters with marks that European operators send on codes of their
// own, as the international extensions list them. Letters of different
// languages that sound alike share a code (the Swedish A with a ring and
// the French A with a grave accent, the German and Polish A), so a receiver
// hears the sound and the language tells the letter.
constexpr ScriptLetter kLatinMarks[] = {
    {U'\u00C0', "1011101110101110"},    // À
    {U'\u00C4', "101110101110"},        // Ä
    {U'\u00C5', "1011101110101110"},    // Å
    {U'\u00C6', "101110101110"},        // Æ
    {U'\u00C7', "11101011101010"},      // Ç
    {U'\u00C8', "10111010101110"},      // È
    {U'\u00C9', "101011101010"},        // É
    {U'\u00D0', "10101110111010"},      // Ð
    {U'\u00D1', "111011101011101110"},  // Ñ
    {U'\u00D3', "11101110111010"},      // Ó
    {U'\u00D6', "11101110111010"},      // Ö
    {U'\u00D8', "11101110111010"},      // Ø
    {U'\u00DC', "101011101110"},        // Ü
    {U'\u00DE', "10111011101010"},      // Þ
    {U'\u0104', "101110101110"},        // Ą
    {U'\u0106', "11101011101010"},      // Ć
    {U'\u0108', "11101011101010"},      // Ĉ
    {U'\u0110', "101011101010"},        // Đ
    {U'\u0118', "101011101010"},        // Ę
    {U'\u011C', "1110111010111010"},    // Ĝ
    {U'\u0124', "1110111011101110"},    // Ĥ
    {U'\u0134', "1011101110111010"},    // Ĵ
    {U'\u0141', "10111010101110"},      // Ł
    {U'\u0143', "111011101011101110"},  // Ń
    {U'\u015A', "1010101110101010"},    // Ś
    {U'\u015C', "101010111010"},        // Ŝ
    {U'\u0160', "1110111011101110"},    // Š
    {U'\u016C', "101011101110"},        // Ŭ
    {U'\u0179', "111011101010111010"},  // Ź
    {U'\u017B', "1110111010101110"},    // Ż
};
static_assert(sorted_by_code(kLatinMarks));

}  // namespace

std::span<const ScriptLetter> latin_mark_letters() {
  return kLatinMarks;
}

}  // namespace zarn
