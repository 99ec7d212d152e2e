#include "cli/write_all.h"

#include <unistd.h>

#include <cerrno>

namespace zarn {

int write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;  // no progress, no errno
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

}  // namespace zarn
