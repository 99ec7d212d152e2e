// The message file of -f: its whole text, or why it cannot be had.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/result.h"

namespace zarn {

// More text than this would make a sound far past any WAV file's length.
inline constexpr std::size_t kMaxTextFileSize = std::size_t{4} << 20;

struct TextFileError {
  enum class Kind {
    not_found,      // the file, or a folder on its path, does not exist
    access_denied,  // no permission to read it
    directory,      // the name is a folder
    too_large,      // more than kMaxTextFileSize bytes
    read_failure,   // any other failure, in system_errno
  };
  Kind kind;
  int system_errno = 0;
  std::string name;  // as given, "-" for standard input
};

// The bytes of the file `name`, or of standard input for "-", read once into
// one string sized for them.
Result<std::string, TextFileError> read_text_file(std::string_view name);

}  // namespace zarn
