// Why a run cannot make a sound worth writing. Each reason carries its own
// values, named for what they are.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "encode/encoding.h"
#include "morse/inline_change.h"

namespace zarn {

struct SpeedNotPositive {
  float wpm;
};
struct SoundTooLong {
  std::int64_t units;
  float wpm;
  bool wav;  // too long for a WAV header's sizes, or for any file at all
};
// No unit keys the tone: a blank callsign field, or one that starts with a
// blank.
struct NothingToSend {};
struct DotShorterThanSample {
  double dot_seconds;
  double sample_rate;
};
// The tone's peak rounds to silence in the chosen encoding.
struct LevelTooLow {
  double volume_db;
  double quietest_db;
  Encoding encoding;
};
// The tone moves no sample off silence within the sound's length.
struct ToneTooLow {
  double tone_hz;
};
// Every sample rounds to silence all the same: the tone's samples miss its
// peaks, or its ramps leave it no time at full level.
struct NoSampleSounds {};
struct CharacterSpeedBelowSpeed {
  double character_wpm;
  float wpm;
};
struct RampLongerThanDot {
  double ramp_ms;
  double dot_ms;
};
struct ToneNotBelowHalfRate {
  double tone_hz;
  double half_rate_hz;
};

// FSK's key-up tone, the tone less the shift, would not be above 0 Hz.
struct KeyUpToneNotAboveZero {
  double tone_hz;
  double shift_hz;
};
// An option that means nothing with the others, rather than be ignored:
// "--farnsworth", "to --mode dfcw".
struct DoesNotApply {
  const char* option;
  const char* context;
};

// A change inside the message that cannot be made: `why` says what its
// value should be, or why no change applies.
struct InlineChangeRefused {
  InlineChange change;
  std::string why;
};

using SoundRefusal =
    std::variant<SpeedNotPositive, SoundTooLong, CharacterSpeedBelowSpeed, RampLongerThanDot,
                 ToneNotBelowHalfRate, NothingToSend, DotShorterThanSample, LevelTooLow, ToneTooLow,
                 NoSampleSounds, KeyUpToneNotAboveZero, DoesNotApply, InlineChangeRefused>;

}  // namespace zarn
