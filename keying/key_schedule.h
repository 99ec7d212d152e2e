// What the key does, as sample numbers: the stage between the Morse units
// and the renderer. Each schedule walks its units once, front to back, so a
// message of any length needs no memory beyond its units.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>

namespace zarn {

// A sample number no sound reaches.
inline constexpr std::int64_t kNeverSample = std::numeric_limits<std::int64_t>::max();

// The first sample k >= lowest at which `reached(k)` holds, for a test that
// holds from some k on. The estimate finds it to within a sample or two; the
// test itself, exactly as an instant is defined, then settles it. Past any
// sound, or with no estimate at all, kNeverSample.
template <class Reached>
std::int64_t first_sample(double estimate, std::int64_t lowest, Reached reached) {
  constexpr double kLimit = 0x1p62;  // far past any sound; converts exactly
  if (!(estimate < kLimit)) return kNeverSample;
  auto k = estimate > static_cast<double>(lowest) ? static_cast<std::int64_t>(estimate) : lowest;
  while (k > lowest && reached(k - 1)) --k;
  while (!reached(k)) ++k;
  return k;
}

// One tone: silent before `rise`, rising until `steady`, at full level until
// `fall`, falling until `silence`. Hard keying has rise == steady and
// fall == silence. The instants are the key going down and up, in seconds,
// from which a ramp takes its shape.
// A beacon's tones also name their voice (0 the tone, 1 the other one) and
// the sample their instants are counted from, where their copy begins.
struct ToneSpan {
  std::int64_t rise, steady, fall, silence;
  double down_seconds = 0;
  double up_seconds = 0;
  std::uint8_t voice = 0;
  std::int64_t origin = 0;
  // A message's changes: the tone and the peak level from this tone on; 0
  // for the sound's own.
  double tone_hz = 0;
  double gain = 0;
};

class KeySchedule {
 public:
  virtual ~KeySchedule() = default;
  // The next tone, none after the last. Tones come in order and never
  // overlap.
  virtual std::optional<ToneSpan> next_tone() = 0;
};

}  // namespace zarn
