// Practice text for learners: random groups or callsigns, and exactly what
// was sent, to check what was copied against. Pure: the same settings and seed
// give the same set everywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

inline constexpr std::string_view kDefaultCharset = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

struct PracticeSettings {
  enum class Kind { groups, calls };
  Kind kind = Kind::groups;
  int count = 0;     // groups or calls, above 0
  int size_min = 5;  // characters a group, min to max
  int size_max = 5;
  std::string charset = {};  // what groups are drawn from; empty: letters and digits
  int koch_lesson = 0;       // 1.. instead of the charset: the lesson's characters
  bool frame = false;        // VVV = before, <AR> after
};

struct PracticeSet {
  std::vector<std::string> items;  // as sent, in order, the frame's among them
  std::string text;                // the items with a blank between each two
};

PracticeSet make_practice(const PracticeSettings& settings, std::uint64_t seed);

// The answer key: one item a line. A seed that was drawn rather than given
// heads it, as the option that makes the same set again, after a '#' that
// no item can hold.
std::string key_text(const PracticeSet& set, std::optional<std::uint64_t> drawn_seed);

}  // namespace zarn
