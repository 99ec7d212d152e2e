// What a setting's value may be, written once for the command line's
// options, their --help and the library's setters alike.
#pragma once

#include <limits>
#include <span>
#include <string>
#include <string_view>

namespace zarn {

// A number range with an upper limit includes both ends; one without may
// leave out its lower end.
struct ValueRule {
  enum class Kind { none, whole, number, choice, text };
  Kind kind = Kind::none;
  double low = 0;
  bool low_included = true;
  double high = std::numeric_limits<double>::infinity();
  std::string_view later = {};  // a limit the run checks, once the speed is known
  std::span<const std::string_view> choices = {};
  std::string_view form = {};  // what a text value must be, in words
};

// The sound settings' ranges.
namespace rules {
using Kind = ValueRule::Kind;
inline constexpr ValueRule kRate{Kind::whole, 8000, true, 192000};
// Each codec narrows it (encode/codec.h).
inline constexpr ValueRule kBitrate{Kind::whole, 6, true, 320};
inline constexpr std::size_t kLongestTag = 1024;
// From three seconds: a part holds a word or two at the least.
inline constexpr ValueRule kSplitMinutes{Kind::number, 0.05, true, 1440};
inline constexpr ValueRule kTag{.kind = Kind::text, .form = "UTF-8 text of up to 1024 bytes"};
inline constexpr ValueRule kRamp{.kind = Kind::number, .later = " up to a dot"};
inline constexpr ValueRule kCharacterSpeed{
    .kind = Kind::number, .low_included = false, .later = " and at least <wpm>"};
inline constexpr ValueRule kWordGap{.kind = Kind::number, .low = 7};
inline constexpr ValueRule kVolume{Kind::number, -60, true, 0};
// A speed or a tone changed inside a message; the plan checks the rest.
inline constexpr ValueRule kInlineSpeed{
    .kind = Kind::number, .low_included = false, .later = " with a dot of a sample or more"};
inline constexpr ValueRule kInlineTone{
    .kind = Kind::number, .low_included = false, .later = " below half the rate"};
inline constexpr ValueRule kSilence{Kind::number, 0, true, 60000};
// Practice text: how much, and of what.
inline constexpr ValueRule kPracticeCount{Kind::whole, 1, true, 10000};
inline constexpr ValueRule kKochLesson{Kind::whole, 1, true, 40};
inline constexpr int kLongestGroup = 20;
inline constexpr ValueRule kGroupSize{.kind = Kind::text,
                                      .form = "a whole number from 1 to 20, or N-M with N up to M"};
inline constexpr ValueRule kCharset{
    .kind = Kind::text, .form = "letters, digits and . , : ? ' - / ( ) \" = + @, without blanks"};
inline constexpr ValueRule kSeed{.kind = Kind::text,
                                 .form = "a whole number from 0 to 18446744073709551615"};
// Band conditions.
inline constexpr ValueRule kNoise{Kind::number, -20, true, 40};
inline constexpr ValueRule kBandwidth{Kind::number, 50, true, 4000};
inline constexpr ValueRule kQsbDepth{Kind::number, 0, false, 60};
inline constexpr ValueRule kQsbRate{Kind::number, 0.01, true, 10};
inline constexpr ValueRule kQrm{Kind::number, 1, true, 100};
// A millisecond dot is 1200 wpm; an hour's is past any beacon's.
inline constexpr ValueRule kDot{Kind::number, 0.001, true, 3600};
inline constexpr std::string_view kModeNames[] = {"on-off", "fsk", "dfcw"};
inline constexpr ValueRule kMode{.kind = Kind::choice, .choices = kModeNames};
inline constexpr ValueRule kShift{Kind::number, 0, false, 1000};
inline constexpr ValueRule kElementGap{Kind::number, 0, true, 0.5};
inline constexpr ValueRule kCarrier{Kind::number, 0, true, 86400};
inline constexpr ValueRule kRepeat{Kind::whole, 1, true, 10000};
inline constexpr ValueRule kRepeatGap{Kind::number, 0, true, 86400};
}  // namespace rules

// 8000, -60, 0.5: the rules' limits, none with an exponent at 15 digits.
std::string number_text(double value);

// "u8, s16 or alaw" for --help, "u8, s16, alaw" for a refusal.
std::string choices_text(std::span<const std::string_view> choices, std::string_view last_joint);

// Whether the rule has an upper limit.
bool bounded(const ValueRule& rule);

// Whether a number is within the rule's range (and whole, if it must be).
bool accepts(const ValueRule& rule, double value);

// What a refused value should have been: "a whole number from 8000 to 192000".
std::string allowed_text(const ValueRule& rule);

}  // namespace zarn
