// Every exit status of the tool. A failure's diagnostic line carries the
// same number, so scripts can tell failures apart by either.
#pragma once

namespace zarn {

enum class ExitStatus : int {
  success = 0,               // file written, or usage line printed
  refused = 2,               // the tool's own refusals: it will not make this sound
  standard_output_lost = 2,  // text for standard output, the usage line, could not be written
  access_denied = 9,         // permission to access file denied
  empty_number = 24,         // end-of-file during read
  file_not_found = 29,       // a folder in the path is missing, or the name is blank
  open_failure = 30,         // the file could not be opened, for another reason
  write_failure = 38,        // error during write
  no_device = 42,            // no such device
  bad_file_name = 43,        // file name specification error
  read_only_file = 47,       // write to a file that can only be read
  malformed_number = 59,     // list-directed I/O syntax error
  number_out_of_range = 64,  // input conversion error
};

inline int status_number(ExitStatus status) {
  return static_cast<int>(status);
}

}  // namespace zarn
