#include "practice/calls.h"

#include <string_view>

namespace zarn {
namespace {

constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kDigits = "0123456789";

char pick(Random& random, std::string_view from) {
  return from[random.below(from.size())];
}

// A letter, then sometimes a second one (DL).
std::string prefix(Random& random) {
  std::string out(1, pick(random, kLetters));
  if (random.below(2) == 0) out += pick(random, kLetters);
  return out;
}

std::string home_call(Random& random) {
  std::string call = prefix(random);
  call += pick(random, kDigits);
  const int suffix = random.between(1, 3);
  for (int i = 0; i < suffix; ++i) call += pick(random, kLetters);
  return call;
}

}  // namespace

// One call in ten is portable, one in twenty mobile, one in ten from abroad.
std::string random_call(Random& random) {
  std::string call = home_call(random);
  const auto shape = random.below(20);
  if (shape < 2) return call + "/P";
  if (shape < 3) return call + "/M";
  if (shape < 5) return prefix(random) + "/" + call;
  return call;
}

}  // namespace zarn
