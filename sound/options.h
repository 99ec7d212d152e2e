// How the sound is made, beyond the Morse and the speed: the choices of the
// command line's options.
#pragma once

#include <optional>

#include "encode/encoding.h"

namespace zarn {

// The defaults give the classic sound: 8-bit WAV at 11025 Hz, hard keying,
// full level, no silence around the Morse.
struct SoundOptions {
  int rate = 11025;                      // samples per second, 8000..192000
  Encoding encoding = Encoding::u8;      // how each sample is written
  double ramp_ms = 0;                    // rise and fall of each tone, up to a dot
  std::optional<double> farnsworth_wpm;  // character speed, at least the speed
  double word_gap_units = 7;             // between words, in units of the character speed
  double volume_db = 0;                  // peak level, -60..0
  double lead_ms = 0;                    // silence before the first tone
  double tail_ms = 0;                    // silence after the last gap

  // Every sound option at its default: the classic renderer, byte for byte.
  // Compares values, so a default spelled out (-r 11025) is still classic.
  bool is_classic() const {
    const SoundOptions defaults;
    return rate == defaults.rate && encoding == defaults.encoding && ramp_ms == defaults.ramp_ms &&
           farnsworth_wpm == defaults.farnsworth_wpm && word_gap_units == defaults.word_gap_units &&
           volume_db == defaults.volume_db && lead_ms == defaults.lead_ms &&
           tail_ms == defaults.tail_ms;
  }
};

}  // namespace zarn
