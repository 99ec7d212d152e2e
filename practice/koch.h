// The order in which Koch-method courses teach the characters: lesson n
// sends the first n + 1 of them.
#pragma once

#include <string>
#include <string_view>

namespace zarn {

inline constexpr std::string_view kKochOrder = "KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X";
inline constexpr int kKochLessons = static_cast<int>(kKochOrder.size()) - 1;

// What groups of a lesson are drawn from, uniformly: its characters, the
// newest one twice so that it comes a little more often. Lesson 1 brings
// both of its characters at once, so neither is favoured. `lesson` is
// 1..kKochLessons.
std::string koch_pool(int lesson);

}  // namespace zarn
