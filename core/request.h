// What a front end asks the core for: what is sent, how fast, on which tone
// and how it sounds. The command line builds it from its words, the library
// from its setters; the core takes nothing else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "encode/tags.h"
#include "morse/letters.h"
#include "sound/format.h"
#include "sound/options.h"

namespace zarn {

// Bounds a caller sets before anything is made; none by default.
struct Limits {
  std::optional<std::uint64_t> sound_bytes;    // the whole file
  std::optional<std::uint64_t> message_bytes;  // the text to send
};

// A long message cut into files: every so many minutes, or before each line
// that holds the marker. Neither by default.
struct Split {
  std::optional<double> minutes;
  std::string marker;
  bool any() const { return minutes.has_value() || !marker.empty(); }
};

struct Request {
  enum class Text {
    callsign,  // the callsign field: its first 10 characters, a blank ends it
    message,   // free text on one line, as --text takes it
    lines,     // free text in lines, as a message file holds it
  };
  Text kind = Text::callsign;
  std::string text;
  LetterChoice letters;  // how a message's letters are sent; a callsign takes none
  float wpm = 0;         // single precision, as the command line reads it
  float freq = 0;        // not above 0: the default tone
  SoundOptions sound;
  Container container = Container::wav;
  Tags tags;    // only for the compressed encodings and a tagged WAV
  Split split;  // the command line's alone: the library makes one file
  Limits limits;
};

}  // namespace zarn
