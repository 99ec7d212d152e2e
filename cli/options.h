// The option reader: the options before the callsign, and the positional
// arguments after them.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "morse/letters.h"
#include "sound/options.h"

namespace zarn {

struct Options {
  SoundOptions sound;
  bool raw = false;   // --raw
  bool text = false;  // --text: the first positional argument is a message
  // -f, --text-file: the message's file, "-" for standard input; there is
  // then no callsign argument.
  std::optional<std::string_view> text_file;
  // --ch, --fold, --ukrainian, --persian: how a message's letters are sent.
  LetterChoice letters;
  bool help = false;     // -h, --help
  bool version = false;  // -V, --version
  // The arguments from the callsign on, viewing the caller's arguments.
  std::vector<std::string_view> positional;
};

// One refused argument.
struct OptionError {
  enum class Kind {
    unknown_option,   // not one of the options
    missing_value,    // no value, or an empty one
    bad_value,        // not what `allowed` says
    flag_with_value,  // --raw=1, -hV
    after_callsign,   // an option written after the callsign
    needs,            // the value needs what `allowed` says: gsm, -r 8000
    conflict,         // `option` cannot go with the option in `value`
  };
  Kind kind;
  std::string option;   // the option as written: "--rate", "-r", "--frobnicate"
  std::string value;    // the value given with it, if any
  std::string allowed;  // for bad_value: "a whole number from 8000 to 192000"; for needs: "-r 8000"
};

// Reads the arguments after the program name. Options come first: up to
// "--" or the first argument that does not start with '-', which is the
// callsign. After the callsign an argument that names one of the options is
// refused, while other arguments starting with '-' (a negative number) stay
// positional. A repeated option takes its last value, and a preset sets
// values as if its options were written in its place. Which options may not go
// together is checked once all are read.
std::variant<Options, OptionError> read_options(std::span<const std::string_view> args);

}  // namespace zarn
