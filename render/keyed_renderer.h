// The one renderer of keyed tones: the oscillator's sine times the key's
// envelope, as sample values in [-1, 1], streamed in fixed memory however
// long the sound.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "keying/key_schedule.h"
#include "render/oscillator.h"

namespace zarn {

struct KeyedTone {
  double frequency_hz;  // below sample_rate / 2
  double sample_rate;   // > 0
  double gain = 1;      // the peak level, 10^(dB / 20)
  // 0 keys hard. Never longer than the shortest tone or gap, so that ramps
  // cannot overlap.
  double ramp_seconds = 0;
  // The number of the first sample, where the sine's phase is k / rate.
  std::int64_t first_sample = 0;
  // Beacons: the tones' voices and copies. Voice 1 sounds at second_hz;
  // a change of voice keeps the phase, which runs on through the whole file
  // with continuous_phase, and otherwise starts from 0 at each copy, so
  // that the copies are the same samples.
  bool beacon = false;
  double second_hz = 0;
  bool continuous_phase = false;
  // A message's changes: each tone may name its own tone and level, taken
  // up where it rises, with the phase the sine has reached there.
  bool changes = false;
};

// Sample k has the value g e(k) sin(2 pi f k / rate), the sine drift-free
// and running through key-up time. The envelope e is 0 outside the schedule's
// tones and 1 inside; across a ramp from instant a it is
// (1 - cos(pi x)) / 2 rising and (1 + cos(pi x)) / 2 falling, with
// x = (k / rate - a) / ramp, so each tone keeps its length between its
// half-amplitude points.
class KeyedRenderer {
 public:
  KeyedRenderer(const KeyedTone& tone, std::unique_ptr<KeySchedule> schedule);

  // Called for each run of the rendered samples, in order: values[first] on,
  // `count` of them, sounding or silent. A silent run's values are left as
  // they were, so that a later stage can write silence its own fast way.
  using RunVisitor = std::function<void(std::size_t first, std::size_t count, bool sounding)>;

  // Renders the next values.size() < 2^31 samples; pieces of any size join
  // seamlessly, and past the last tone the samples are silence.
  void render(std::span<double> values, const RunVisitor& visit);

 private:
  enum class Shape { silent, rising, steady, falling };
  struct Stretch {
    std::int64_t end;  // the first sample past it
    Shape shape;
  };

  Stretch stretch_at(std::int64_t k);
  template <class Take, class Source>
  void render_stretches(std::span<double> values, const RunVisitor& visit, Take take,
                        Source source);
  void render_beacon(std::span<double> values, const RunVisitor& visit);
  void render_changing(std::span<double> values, const RunVisitor& visit);
  void take_setting(const ToneSpan& span, std::int64_t k);
  void take_voice(const ToneSpan& span, std::int64_t k);
  Oscillator& voice_oscillator() { return voice_ == 0 ? oscillator_ : *second_; }
  void apply_ramp(Stretch stretch, std::int64_t k, std::span<double> values) const;

  KeyedTone tone_;
  std::unique_ptr<KeySchedule> schedule_;
  std::optional<ToneSpan> current_;  // no earlier tone reaches past next_
  Oscillator oscillator_;
  std::int64_t next_;  // the number of the next sample
  // A beacon's phase: the samples each voice has sounded (or run silent)
  // since phase_origin_, the current voice's counted up to since_.
  std::unique_ptr<Oscillator> second_;
  std::uint8_t voice_ = 0;
  std::int64_t phase_origin_;
  std::int64_t since_;
  std::array<std::int64_t, 2> voiced_ = {0, 0};
  // The tone and level the oscillator sounds, with changes.
  double setting_hz_;
  double setting_gain_;
};

}  // namespace zarn
