#include "sound/inline_check.h"

#include <cmath>
#include <limits>
#include <string>

#include "encode/encoding.h"
#include "keying/unit_length.h"
#include "render/classic/float_accumulator.h"

namespace zarn {
namespace {

constexpr double kSinglePrecision = std::numeric_limits<float>::epsilon();

std::string number(double value) {
  std::string text = std::to_string(value);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.ends_with('.')) text.pop_back();
  return text;
}

InlineChangeRefused refuse(const InlineChange& change, std::string why) {
  return {change, std::move(why)};
}

// The speeds after a change, then whether they can be sent: the character
// speed at least the speed, as --farnsworth; a dot of at least a sample and
// the ramp, as --ramp.
std::optional<SoundRefusal> check_speeds(const InlineChange& change, SettingsInForce& now,
                                         double rate) {
  if (change.kind == InlineChange::Kind::speed) {
    now.speed_wpm = change.value;
    if (now.character_follows) now.character_wpm = change.value;
  } else {
    now.character_wpm = change.value;
    now.character_follows = false;
  }
  if (to_single(now.character_wpm) < to_single(now.speed_wpm)) {
    return refuse(change, "the character speed of " + number(now.character_wpm) +
                              " wpm would be below the speed of " + number(now.speed_wpm) + " wpm");
  }
  const double dot = kSecondsPerUnitAt1Wpm / now.character_wpm;
  if (!(dot * rate >= 1)) {
    return refuse(change, "a dot of " + number(dot * 1000) + " ms is shorter than one sample");
  }
  if (now.ramp_seconds > dot * (1 + kSinglePrecision)) {
    return refuse(change, "a dot of " + number(dot * 1000) + " ms is shorter than the ramp of " +
                              number(now.ramp_seconds * 1000) + " ms");
  }
  return std::nullopt;
}

std::optional<SoundRefusal> check_one(const InlineChange& change, const SoundOptions& options,
                                      SettingsInForce& now) {
  switch (change.kind) {
    case InlineChange::Kind::speed:
    case InlineChange::Kind::character_speed:
      return check_speeds(change, now, options.rate);
    case InlineChange::Kind::tone:
      if (!(change.value < options.rate / 2.0)) {
        return refuse(change, "a tone must be below half the sample rate, " +
                                  number(options.rate / 2.0) + " Hz");
      }
      return std::nullopt;
    case InlineChange::Kind::volume:
      if (!(std::pow(10.0, change.value / 20) >= quietest_value(options.encoding))) {
        return refuse(change, "the level is silence in " +
                                  std::string(encoding_name(options.encoding)) + " samples");
      }
      return std::nullopt;
  }
  return std::nullopt;
}

// A beacon's copies are the same samples, keyed by one schedule: changes do
// not apply to it.
InlineChangeRefused beacon_refusal(const InlineChange& change, const SoundOptions& options) {
  const bool speed = change.kind == InlineChange::Kind::speed ||
                     change.kind == InlineChange::Kind::character_speed;
  if (speed && options.mode == KeyMode::dfcw) {
    return refuse(change, "--mode dfcw sends every element one dot long, at one speed");
  }
  return refuse(change, "a beacon (--mode, --carrier, --repeat) keeps one speed, tone and level");
}

}  // namespace

std::optional<SoundRefusal> check_changes(std::span<const InlineChange> changes,
                                          const SoundOptions& options, SettingsInForce settings) {
  for (const InlineChange& change : changes) {
    if (options.is_beacon()) return beacon_refusal(change, options);
    if (auto refusal = check_one(change, options, settings)) return refusal;
  }
  return std::nullopt;
}

}  // namespace zarn
