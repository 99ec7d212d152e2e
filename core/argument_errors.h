// How a command line's words can be wrong: an option, or a number in its
// field. Shared by the executable and the library's argument list.
#pragma once

#include <string>

namespace zarn {

enum class NumberError {
  empty,         // nothing but blanks and tabs
  malformed,     // not a real constant
  out_of_range,  // beyond the single-precision range
};

// One refused argument.
struct OptionError {
  enum class Kind {
    unknown_option,   // not one of the options
    missing_value,    // no value
    empty_value,      // a value given as ""
    bad_value,        // not what `allowed` says
    flag_with_value,  // --raw=1, -hV
    after_callsign,   // an option written after the callsign
    needs,            // the value needs what `allowed` says: gsm, -r 8000
    conflict,         // `option` cannot go with the option in `value`
    not_here,         // the caller does not allow it: `allowed` says why
  };
  Kind kind;
  std::string option;   // the option as written: "--rate", "-r", "--frobnicate"
  std::string value;    // the value given with it, if any
  std::string allowed;  // for bad_value: "a whole number from 8000 to 192000"; for needs: "-r 8000"
};

}  // namespace zarn
