#include "practice/practice.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "args/practice_values.h"
#include "practice/koch.h"
#include "practice/random.h"

namespace zarn {
namespace {

std::set<char> characters_of(const PracticeSet& set) {
  std::set<char> seen;
  for (const auto& item : set.items) seen.insert(item.begin(), item.end());
  return seen;
}

// A different compiler, library or word size must not change a set: the
// generator's first outputs are those of SplitMix64 everywhere.
TEST(Practice, TheGeneratorIsSplitMix64) {
  Random random(0);
  EXPECT_EQ(random.next(), 0xE220A8397B1DCDAFu);
  EXPECT_EQ(random.next(), 0x6E789E6AA1B965F4u);
  // And a seed written in a key makes its set again: the pools and the order
  // of the draws are fixed too.
  using Items = std::vector<std::string>;
  EXPECT_EQ(make_practice({.count = 2, .koch_lesson = 5}, 1).items, (Items{"KMKSU", "RMEMU"}));
  EXPECT_EQ(make_practice({.kind = PracticeSettings::Kind::calls, .count = 2}, 3).items,
            (Items{"J9IZM", "WA1DW"}));
}

TEST(Practice, GroupsUseTheirCharactersAndNoOthers) {
  const struct {
    int lesson;
    std::string charset;
    std::string expected;
  } kCases[] = {
      {1, "", "KM"},
      {5, "", "KMURES"},
      {40, "", std::string(kKochOrder)},
      {0, "", std::string(kDefaultCharset)},
      {0, "AB?/", "AB?/"},
  };
  for (const auto& c : kCases) {
    PracticeSettings settings{.count = 200, .charset = c.charset, .koch_lesson = c.lesson};
    const auto seen = characters_of(make_practice(settings, 7));
    EXPECT_EQ(seen, std::set<char>(c.expected.begin(), c.expected.end())) << c.lesson;
  }
}

// The newest character of a lesson (R in lesson 3, KMUR) comes twice as
// often as each other.
TEST(Practice, KochLessonsFavourTheNewestCharacter) {
  const auto set = make_practice({.count = 2000, .koch_lesson = 3}, 11);
  std::size_t newest = 0, oldest = 0;
  for (const auto& group : set.items) {
    newest += static_cast<std::size_t>(std::count(group.begin(), group.end(), 'R'));
    oldest += static_cast<std::size_t>(std::count(group.begin(), group.end(), 'K'));
  }
  EXPECT_GT(newest, oldest * 17 / 10);
  EXPECT_LT(newest, oldest * 23 / 10);
}

TEST(Practice, ItemsTakeTheirShapes) {
  const struct {
    PracticeSettings settings;
    std::string shape;
  } kCases[] = {
      {{.count = 300}, "[A-Z0-9]{5}"},
      {{.count = 300, .size_min = 2, .size_max = 4}, "[A-Z0-9]{2,4}"},
      {{.kind = PracticeSettings::Kind::calls, .count = 300},
       "([A-Z]{1,2}/)?[A-Z]{1,2}[0-9][A-Z]{1,3}(/P|/M)?"},
  };
  for (const auto& c : kCases) {
    std::set<std::size_t> lengths;
    bool decorated = false;
    for (const auto& item : make_practice(c.settings, 3).items) {
      EXPECT_TRUE(std::regex_match(item, std::regex(c.shape))) << item;
      lengths.insert(item.size());
      decorated = decorated || item.find('/') != std::string::npos;
    }
    EXPECT_EQ(decorated, c.settings.kind == PracticeSettings::Kind::calls) << c.shape;
    EXPECT_EQ(lengths.size() > 1, c.settings.size_min < c.settings.size_max ||
                                      c.settings.kind == PracticeSettings::Kind::calls)
        << c.shape;
  }
}

TEST(Practice, TheSameSeedGivesTheSameSetAndTheKeyIsWhatIsSent) {
  const PracticeSettings settings{.count = 4, .frame = true};
  const auto first = make_practice(settings, 99);
  EXPECT_EQ(make_practice(settings, 99).items, first.items);
  EXPECT_NE(make_practice(settings, 100).items, first.items);
  ASSERT_EQ(first.items.size(), 6u);
  EXPECT_EQ(first.items.front(), "VVV =");
  EXPECT_EQ(first.items.back(), "<AR>");
  const std::string& g = first.items[1];
  EXPECT_TRUE(first.text.starts_with("VVV = " + g + " "));
  EXPECT_EQ(key_text(first, std::nullopt).substr(0, 12), "VVV =\n" + g.substr(0, 5) + "\n");
  EXPECT_TRUE(key_text(first, 123).starts_with("# --seed 123\nVVV =\n"));
}

TEST(PracticeValues, ReadOnlyWhatTheyTake) {
  EXPECT_EQ(read_group_size("3-7")->min, 3);
  EXPECT_EQ(read_group_size("3-7")->max, 7);
  EXPECT_EQ(read_group_size("20")->max, 20);
  for (const char* bad : {"0", "21", "3-", "-3", "3-7-9", "3.5", " 3"}) {
    EXPECT_FALSE(read_group_size(bad)) << bad;
  }
  EXPECT_EQ(read_seed("18446744073709551615"), 18446744073709551615u);
  for (const char* bad : {"18446744073709551616", "+1", "1e3", ""}) {
    EXPECT_FALSE(read_seed(bad)) << bad;
  }
  EXPECT_EQ(read_charset("abAB?k"), "AB?K");
  for (const char* bad : {"a b", "a<b", "\xc3\xa9"}) EXPECT_FALSE(read_charset(bad)) << bad;
}

}  // namespace
}  // namespace zarn
