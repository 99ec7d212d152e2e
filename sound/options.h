// How the sound is made, beyond the Morse and the speed: the choices of the
// command line's options.
#pragma once

#include <cstdint>
#include <optional>

#include "encode/encoding.h"

namespace zarn {

// How the key moves the tone: on and off, between two tones of a carrier
// that never stops, or each element one dot long on a tone of its own.
enum class KeyMode { on_off, fsk, dfcw };

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
  // Beacons. The dot, when given, is the speed itself, kept exact rather
  // than through the single-precision wpm, so hours of it do not drift.
  std::optional<double> dot_seconds;
  KeyMode mode = KeyMode::on_off;
  double shift_hz = 5;                // fsk: key-up below the tone; dfcw: dashes above it
  double element_gap_dots = 1.0 / 3;  // dfcw: between the elements of a character
  double carrier_seconds = 0;         // a key-down after the message, or before it
  bool carrier_first = false;
  double repeats = 1;             // copies of the whole, a whole number
  double repeat_gap_seconds = 0;  // between copies
  // Band conditions, drawn from the seed: noise at a signal-to-noise ratio
  // in a receiver's filter around the tone, fading of the signal, and
  // another station's random calls.
  std::optional<double> noise_snr_db;
  double bandwidth_hz = 500;
  double qsb_depth_db = 0;  // 0: no fading
  double qsb_rate_hz = 0.2;
  std::optional<double> qrm_wpm;  // a second, weaker station at this speed
  std::uint64_t seed = 0;

  // Whether any band condition setting is off its default.
  bool has_conditions() const {
    const SoundOptions defaults;
    return noise_snr_db || qrm_wpm || bandwidth_hz != defaults.bandwidth_hz ||
           qsb_depth_db != defaults.qsb_depth_db || qsb_rate_hz != defaults.qsb_rate_hz;
  }

  int bitrate_kbps = 0;           // a lossy encoding's; 0 for its default

  // Whether any beacon setting is off its default: the beacon schedule then
  // lays out the whole.
  bool is_beacon() const {
    const SoundOptions defaults;
    return mode != defaults.mode || shift_hz != defaults.shift_hz ||
           element_gap_dots != defaults.element_gap_dots ||
           carrier_seconds != defaults.carrier_seconds || carrier_first != defaults.carrier_first ||
           repeats != defaults.repeats || repeat_gap_seconds != defaults.repeat_gap_seconds;
  }

  // Every sound option at its default: the classic renderer, byte for byte.
  // Compares values, so a default spelled out (-r 11025) is still classic.
  bool is_classic() const {
    const SoundOptions defaults;
    return rate == defaults.rate && encoding == defaults.encoding && ramp_ms == defaults.ramp_ms &&
           farnsworth_wpm == defaults.farnsworth_wpm && word_gap_units == defaults.word_gap_units &&
           volume_db == defaults.volume_db && lead_ms == defaults.lead_ms &&
           tail_ms == defaults.tail_ms && !dot_seconds && !is_beacon() && !has_conditions();
  }
};

}  // namespace zarn
