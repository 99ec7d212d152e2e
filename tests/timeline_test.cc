#include "keying/timeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "support/keyed.h"
#include "support/morse_units.h"

namespace zarn {
namespace {

TEST(Timeline, EqualSpeedsKeepEveryGapInWholeUnits) {
  const std::vector<std::uint8_t> units = testing::units_of("Q1ABC K");
  for (const double wpm : {5.0, 13.0, 20.0, 47.5}) {
    const double lead = 0.25;
    const double unit = 1.2 / wpm;
    const auto keying = testing::instants_of(units, {wpm, wpm, 7, lead});
    auto tone = keying.tones.begin();
    for (std::size_t i = 0, end = 0; i < units.size(); i = std::max(i + 1, end)) {
      for (end = i; end < units.size() && units[end] != 0;) ++end;
      if (end == i) continue;
      ASSERT_NE(tone, keying.tones.end());
      EXPECT_EQ(tone->first, lead + static_cast<double>(i) * unit);
      EXPECT_EQ((tone++)->second, lead + static_cast<double>(end) * unit);
    }
    EXPECT_EQ(tone, keying.tones.end());
    EXPECT_EQ(keying.end, lead + static_cast<double>(units.size()) * unit);
  }
}

// "PARIS " is the standard 50-unit word: with stretched gaps it must take
// 60 / s seconds at overall speed s, its elements keeping their units. A run
// of five zeros is no standard gap and keeps its units too.
TEST(Timeline, StretchedGapsMakeTheOverallSpeed) {
  std::vector<std::uint8_t> units = testing::units_of("PARIS ");
  ASSERT_EQ(units.size(), 50u);
  units.insert(units.end(), {1, 0, 0, 0, 0, 0, 1, 0});
  // Tone lengths and the gaps after them, in units; 3 and 7 stand for the
  // stretched gaps.
  const double kTones[] = {1, 3, 3, 1, 1, 3, 1, 3, 1, 1, 1, 1, 1, 1, 1, 1};
  const double kGaps[] = {1, 1, 1, 3, 1, 3, 1, 1, 3, 1, 3, 1, 1, 7, 5, 1};
  for (const auto& [c, s] : {std::pair{18.0, 5.0}, {25.0, 10.0}, {20.0, 19.5}, {13.0, 13.0}}) {
    const auto keying = testing::instants_of(units, {c, s, 7, 1.0});
    const double unit = 1.2 / c;
    const double stretch = (60 * c - 37.2 * s) / (c * s) / 19;  // seconds per gap unit
    ASSERT_EQ(keying.tones.size(), std::size(kTones));
    EXPECT_NEAR(keying.tones[14].first - 1.0, 60 / s, 1e-12) << c << "/" << s;
    for (std::size_t i = 0; i < std::size(kTones); ++i) {
      const double next = i + 1 < std::size(kTones) ? keying.tones[i + 1].first : keying.end;
      const double gap = kGaps[i] == 3 || kGaps[i] == 7 ? kGaps[i] * stretch : kGaps[i] * unit;
      EXPECT_NEAR(keying.tones[i].second - keying.tones[i].first, kTones[i] * unit, 1e-12) << i;
      EXPECT_NEAR(next - keying.tones[i].second, gap, 1e-12) << i;
    }
  }
}

// A longer word gap takes its units at the character speed, or its share of
// the stretched gaps with Farnsworth timing; character gaps do not move.
TEST(Timeline, WordGapsTakeTheirUnits) {
  const std::vector<std::uint8_t> units = testing::units_of("E E");
  for (const auto& [c, s] : {std::pair{20.0, 20.0}, {20.0, 10.0}}) {
    const auto standard = testing::instants_of(units, {c, s, 7, 0});
    const auto wide = testing::instants_of(units, {c, s, 10.5, 0});
    const double per_unit = c == s ? 1.2 / c : (60 * c - 37.2 * s) / (c * s) / 19;
    const double standard_gap = standard.tones[1].first - standard.tones[0].second;
    EXPECT_NEAR(wide.tones[1].first - wide.tones[0].second - standard_gap, 3.5 * per_unit, 1e-12)
        << c << "/" << s;
    EXPECT_EQ(wide.tones[0], standard.tones[0]);
  }
}

}  // namespace
}  // namespace zarn
