// A file's name as diagnostics show it.
#pragma once

#include <string>
#include <string_view>

namespace zarn {

// The full path of the file the system would write for `name`, its folder
// resolved through symbolic links and "..", or the name itself when that
// exceeds 256 characters or the current folder is gone. A name for one of
// the process's own descriptors is shown as written.
std::string display_path(std::string_view name);

}  // namespace zarn
