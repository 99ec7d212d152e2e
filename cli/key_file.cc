#include "cli/key_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "cli/write_all.h"

namespace zarn {

Result<void, KeyFileFailure> write_key(std::string_view name, std::string_view key) {
  const auto failed = [&](int err) { return KeyFileFailure{std::string(name), err}; };
  if (name == "-") {
    if (const int err = write_all(STDOUT_FILENO, key); err != 0) return failed(err);
    return {};
  }
  const std::string path(name);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return failed(errno);
  const int err = write_all(fd, key);
  if (::close(fd) != 0 && err == 0) return failed(errno);
  if (err != 0) return failed(err);
  return {};
}

}  // namespace zarn
