#include "morse/fold.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace zarn {
namespace {

struct Decomposed {
  char32_t letter;
  char32_t base;
};

// The first character of each letter's canonical decomposition, for the
// letters with marks of the alphabets the tables hold, sorted by letter.
// Letters with codes of their own (those with the marks the tables list)
// are not here, nor letters whose stroke or hook is part of the letter
// (Đ, Ħ, Ł), which do not decompose.
constexpr Decomposed kDecomposed[] = {
    {0xC1, 'A'},    {0xC2, 'A'},    {0xC3, 'A'},    {0xCA, 'E'},    {0xCB, 'E'},    {0xCC, 'I'},
    {0xCD, 'I'},    {0xCE, 'I'},    {0xCF, 'I'},    {0xD2, 'O'},    {0xD4, 'O'},    {0xD5, 'O'},
    {0xD9, 'U'},    {0xDA, 'U'},    {0xDB, 'U'},    {0xDD, 'Y'},    {0x100, 'A'},   {0x102, 'A'},
    {0x10A, 'C'},   {0x10C, 'C'},   {0x10E, 'D'},   {0x112, 'E'},   {0x114, 'E'},   {0x116, 'E'},
    {0x11A, 'E'},   {0x11E, 'G'},   {0x120, 'G'},   {0x122, 'G'},   {0x128, 'I'},   {0x12A, 'I'},
    {0x12C, 'I'},   {0x12E, 'I'},   {0x130, 'I'},   {0x136, 'K'},   {0x139, 'L'},   {0x13B, 'L'},
    {0x13D, 'L'},   {0x145, 'N'},   {0x147, 'N'},   {0x14C, 'O'},   {0x14E, 'O'},   {0x150, 'O'},
    {0x154, 'R'},   {0x156, 'R'},   {0x158, 'R'},   {0x15E, 'S'},   {0x162, 'T'},   {0x164, 'T'},
    {0x168, 'U'},   {0x16A, 'U'},   {0x16E, 'U'},   {0x170, 'U'},   {0x172, 'U'},   {0x174, 'W'},
    {0x176, 'Y'},   {0x178, 'Y'},   {0x17D, 'Z'},   {0x218, 'S'},   {0x21A, 'T'},   {0x386, 0x391},
    {0x388, 0x395}, {0x389, 0x397}, {0x38A, 0x399}, {0x38C, 0x39F}, {0x38E, 0x3A5}, {0x38F, 0x3A9},
    {0x390, 0x399}, {0x3AA, 0x399}, {0x3AB, 0x3A5}, {0x3B0, 0x3A5}, {0x400, 0x415}, {0x401, 0x415},
    {0x403, 0x413}, {0x40C, 0x41A}, {0x40D, 0x418}, {0x40E, 0x423}, {0x622, 0x627}, {0x623, 0x627},
    {0x624, 0x648}, {0x625, 0x627}, {0x626, 0x64A},
};

// The search below needs them in order.
constexpr bool sorted() {
  for (std::size_t i = 1; i < std::size(kDecomposed); ++i) {
    if (kDecomposed[i - 1].letter >= kDecomposed[i].letter) return false;
  }
  return true;
}
static_assert(sorted());

bool before(const Decomposed& entry, char32_t letter) {
  return entry.letter < letter;
}

}  // namespace

std::optional<char32_t> base_letter(char32_t upper) {
  const auto* end = std::end(kDecomposed);
  const auto* found = std::lower_bound(std::begin(kDecomposed), end, upper, before);
  if (found == end || found->letter != upper) return std::nullopt;
  return found->base;
}

}  // namespace zarn
