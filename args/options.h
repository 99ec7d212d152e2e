// The option reader: the options before the callsign, and the positional
// arguments after them.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/argument_errors.h"
#include "core/request.h"
#include "core/result.h"
#include "encode/tags.h"
#include "morse/letters.h"
#include "practice/practice.h"
#include "sound/format.h"
#include "sound/options.h"

namespace zarn {

struct Options {
  SoundOptions sound;
  Container container = Container::wav;  // --raw
  Tags tags;                             // --title, --artist, --album, --track, --comment
  Split split;                           // --split-minutes, --split-at
  bool text = false;                     // --text: the first positional argument is a message
  // -f, --text-file: the message's file, "-" for standard input; there is
  // then no callsign argument.
  std::optional<std::string_view> text_file;
  std::string_view text_file_by;  // "-f" or "--text-file", as written
  bool sync = false;              // --sync: the file on the disk before the run ends
  // --ch, --fold, --ukrainian, --persian: how a message's letters are sent.
  LetterChoice letters;
  // --groups or --calls and what shapes them: a practice set is sent in
  // place of a callsign, which is then left out. Count 0: none.
  PracticeSettings practice;
  std::optional<std::uint64_t> seed;         // --seed
  std::optional<std::string_view> key_file;  // --key: "-" for standard output
  bool help = false;                         // -h, --help
  bool version = false;                      // -V, --version
  // The arguments from the callsign on, viewing the caller's arguments.
  std::vector<std::string_view> positional;
};

// Reads the arguments after the program name. Options come first: up to
// "--" or the first argument that does not start with '-', which is the
// callsign. After the callsign an argument that names one of the options is
// refused, while other arguments starting with '-' (a negative number) stay
// positional. A repeated option takes its last value, and a preset sets
// values as if its options were written in its place. Which options may not go
// together is checked once all are read.
Result<Options, OptionError> read_options(std::span<const std::string_view> args);

}  // namespace zarn
