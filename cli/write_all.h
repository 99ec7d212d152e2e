// Text to a descriptor in full, as a signal handler may do it.
#pragma once

#include <string_view>

namespace zarn {

// Returns 0 once all of `text` is written, else the errno that stopped it.
// Async-signal-safe.
int write_all(int fd, std::string_view text);

}  // namespace zarn
