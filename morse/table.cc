#include "morse/table.h"

#include <array>

namespace zarn {
namespace {

constexpr std::array<std::string_view, 10> kDigits = {
    "11101110111011101110",  // 0
    "101110111011101110",    // 1
    "1010111011101110",      // 2
    "10101011101110",        // 3
    "101010101110",          // 4
    "1010101010",            // 5
    "111010101010",          // 6
    "11101110101010",        // 7
    "1110111011101010",      // 8
    "111011101110111010",    // 9
};

constexpr std::array<std::string_view, 26> kLetters = {
    "101110",          // A
    "1110101010",      // B
    "111010111010",    // C
    "11101010",        // D
    "10",              // E
    "1010111010",      // F
    "1110111010",      // G
    "10101010",        // H
    "1010",            // I
    "10111011101110",  // J
    "1110101110",      // K
    "1011101010",      // L
    "11101110",        // M
    "111010",          // N
    "111011101110",    // O
    "101110111010",    // P
    "11101110101110",  // Q
    "10111010",        // R
    "101010",          // S
    "1110",            // T
    "10101110",        // U
    "1010101110",      // V
    "1011101110",      // W
    "111010101110",    // X
    "11101011101110",  // Y
    "111011101010",    // Z
};

constexpr std::string_view kSlash = "11101010111010";

static_assert(kDigits[0].size() == kLongestPattern);

}  // namespace

std::optional<std::string_view> pattern_for(unsigned char code) {
  // Only a-z fold to upper case; no other folding.
  if (code >= 'a' && code <= 'z') code = static_cast<unsigned char>(code - ('a' - 'A'));
  if (code >= '0' && code <= '9') return kDigits[code - '0'];
  if (code >= 'A' && code <= 'Z') return kLetters[code - 'A'];
  if (code == '/') return kSlash;
  return std::nullopt;
}

}  // namespace zarn
