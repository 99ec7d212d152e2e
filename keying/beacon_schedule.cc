#include "keying/beacon_schedule.h"

#include <cmath>

namespace zarn {

BeaconSchedule::BeaconSchedule(const BeaconLayout& layout, MessageSchedule message, double rate,
                               double ramp_seconds)
    : layout_(layout), message_(std::move(message)), rate_(rate), ramp_seconds_(ramp_seconds) {}

std::int64_t BeaconSchedule::origin() const {
  return layout_.lead_samples + copy_ * (layout_.copy_samples + layout_.gap_samples);
}

ToneSpan BeaconSchedule::carrier() const {
  const auto at = [&](double seconds) {
    return first_sample(std::ceil(seconds * rate_), 0,
                        [&](std::int64_t k) { return static_cast<double>(k) / rate_ >= seconds; });
  };
  const double down = layout_.carrier_down_seconds;
  const double up = layout_.carrier_up_seconds;
  const std::int64_t o = origin();
  return ToneSpan{o + at(down),
                  o + at(down + ramp_seconds_),
                  o + at(up),
                  o + at(up + ramp_seconds_),
                  down,
                  up,
                  0,
                  o};
}

// A copy's tones in order: the carrier where it falls, the message's tones
// moved to the copy's origin.
std::optional<ToneSpan> BeaconSchedule::next_in_copy() {
  const bool has_carrier = layout_.carrier_up_seconds > layout_.carrier_down_seconds;
  if (!current_) current_ = message_();
  if (has_carrier && layout_.carrier_first && !carrier_done_) {
    carrier_done_ = true;
    return carrier();
  }
  if (auto tone = current_->next_tone()) {
    const std::int64_t o = origin();
    tone->rise += o;
    tone->steady += o;
    tone->fall += o;
    tone->silence += o;
    tone->origin = o;
    return tone;
  }
  if (has_carrier && !carrier_done_) {
    carrier_done_ = true;
    return carrier();
  }
  return std::nullopt;
}

std::optional<ToneSpan> BeaconSchedule::next_keyed() {
  while (copy_ < layout_.copies) {
    if (auto tone = next_in_copy()) return tone;
    ++copy_;
    current_.reset();
    carrier_done_ = false;
  }
  return std::nullopt;
}

// For FSK the samples between tones sound on voice 1, hard keyed, so the
// spans join end to end from the first sample to the last.
std::optional<ToneSpan> BeaconSchedule::next_tone() {
  if (!layout_.fill_key_up) return next_keyed();
  if (!pending_) pending_ = next_keyed();
  const std::int64_t until = pending_ ? pending_->rise : layout_.total_samples;
  if (covered_ < until) {
    const ToneSpan fill{covered_, covered_, until, until, 0, 0, 1, 0};
    covered_ = until;
    return fill;
  }
  if (!pending_) return std::nullopt;
  const ToneSpan tone = *pending_;
  pending_.reset();
  covered_ = tone.silence;
  return tone;
}

}  // namespace zarn
