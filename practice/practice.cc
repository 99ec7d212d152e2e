#include "practice/practice.h"

#include "practice/calls.h"
#include "practice/koch.h"
#include "practice/random.h"

namespace zarn {
namespace {

std::string group_pool(const PracticeSpec& spec) {
  if (spec.koch_lesson > 0) return koch_pool(spec.koch_lesson);
  return spec.charset.empty() ? std::string(kDefaultCharset) : spec.charset;
}

std::string random_group(Random& random, const std::string& pool, const PracticeSpec& spec) {
  const int size = random.between(spec.size_min, spec.size_max);
  std::string group;
  for (int i = 0; i < size; ++i) group += pool[random.below(pool.size())];
  return group;
}

}  // namespace

PracticeSet make_practice(const PracticeSpec& spec, std::uint64_t seed) {
  Random random(seed);
  PracticeSet set;
  if (spec.frame) set.items.emplace_back("VVV =");
  const std::string pool = group_pool(spec);
  for (int i = 0; i < spec.count; ++i) {
    set.items.push_back(spec.kind == PracticeSpec::Kind::calls ? random_call(random)
                                                               : random_group(random, pool, spec));
  }
  if (spec.frame) set.items.emplace_back("<AR>");
  for (const auto& item : set.items) {
    if (!set.text.empty()) set.text += ' ';
    set.text += item;
  }
  return set;
}

std::string key_text(const PracticeSet& set, std::optional<std::uint64_t> drawn_seed) {
  std::string key;
  if (drawn_seed) key += "# --seed " + std::to_string(*drawn_seed) + "\n";
  for (const auto& item : set.items) key += item + "\n";
  return key;
}

}  // namespace zarn
