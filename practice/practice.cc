#include "practice/practice.h"

#include "practice/calls.h"
#include "practice/koch.h"
#include "practice/random.h"

namespace zarn {
namespace {

std::string group_pool(const PracticeSettings& settings) {
  if (settings.koch_lesson > 0) return koch_pool(settings.koch_lesson);
  return settings.charset.empty() ? std::string(kDefaultCharset) : settings.charset;
}

std::string random_group(Random& random, const std::string& pool,
                         const PracticeSettings& settings) {
  const int size = random.between(settings.size_min, settings.size_max);
  std::string group;
  for (int i = 0; i < size; ++i) group += pool[random.below(pool.size())];
  return group;
}

}  // namespace

PracticeSet make_practice(const PracticeSettings& settings, std::uint64_t seed) {
  Random random(seed);
  PracticeSet set;
  if (settings.frame) set.items.emplace_back("VVV =");
  const std::string pool = group_pool(settings);
  for (int i = 0; i < settings.count; ++i) {
    set.items.push_back(settings.kind == PracticeSettings::Kind::calls
                            ? random_call(random)
                            : random_group(random, pool, settings));
  }
  if (settings.frame) set.items.emplace_back("<AR>");
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
