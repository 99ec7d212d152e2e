// The key of a beacon file: the message's own schedule for each copy, a
// carrier before or after it, copies a gap apart, and for FSK the key-up
// voice filling every sample no tone takes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "keying/key_schedule.h"

namespace zarn {

// Every length in whole samples, fixed by the plan, so that each copy
// starts on the same sample of its period and the copies are alike.
struct BeaconLayout {
  std::int64_t lead_samples = 0;  // before the first copy
  std::int64_t copy_samples = 0;
  std::int64_t gap_samples = 0;  // after each copy but the last
  std::int64_t copies = 1;
  std::int64_t total_samples = 0;  // the whole sound, tail included
  // The carrier's key-down and key-up instants within a copy; equal for none.
  double carrier_down_seconds = 0;
  double carrier_up_seconds = 0;
  bool carrier_first = false;
  bool fill_key_up = false;  // FSK: the carrier never stops
};

class BeaconSchedule final : public KeySchedule {
 public:
  // `message` makes one copy's schedule, its instants from the copy's start.
  using MessageSchedule = std::function<std::unique_ptr<KeySchedule>()>;
  BeaconSchedule(const BeaconLayout& layout, MessageSchedule message, double rate,
                 double ramp_seconds);
  std::optional<ToneSpan> next_tone() override;

 private:
  std::optional<ToneSpan> next_keyed();
  std::optional<ToneSpan> next_in_copy();
  ToneSpan carrier() const;
  std::int64_t origin() const;

  BeaconLayout layout_;
  MessageSchedule message_;
  double rate_;
  double ramp_seconds_;
  std::int64_t copy_ = 0;
  std::unique_ptr<KeySchedule> current_;
  bool carrier_done_ = false;
  std::optional<ToneSpan> pending_;  // a tone held back behind key-up fill
  std::int64_t covered_ = 0;         // FSK: samples before it are taken
};

}  // namespace zarn
