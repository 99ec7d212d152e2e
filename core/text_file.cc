#include "core/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace zarn {
namespace {

using Kind = TextFileError::Kind;

TextFileError failure(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return {Kind::not_found, err, {}};
    case EACCES:
    case EPERM:
      return {Kind::access_denied, err, {}};
    case EISDIR:
      return {Kind::directory, err, {}};
    default:
      return {Kind::read_failure, err, {}};
  }
}

// A regular file's size is known, so its text is read into one allocation;
// a pipe's grows as it comes.
Result<std::string, TextFileError> read_all(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return failure(errno);
  if (S_ISDIR(info.st_mode)) return failure(EISDIR);
  const bool regular = S_ISREG(info.st_mode);
  const auto size = static_cast<std::size_t>(info.st_size);
  if (regular && size > kMaxTextFileSize) return TextFileError{Kind::too_large, 0, {}};
  std::string text;
  if (regular) text.reserve(size);
  char block[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return failure(errno);
    if (n == 0) return text;
    if (static_cast<std::size_t>(n) > kMaxTextFileSize - text.size()) {
      return TextFileError{Kind::too_large, 0, {}};
    }
    text.append(block, static_cast<std::size_t>(n));
  }
}

}  // namespace

Result<std::string, TextFileError> read_text_file(std::string_view name) {
  auto text = [&]() -> Result<std::string, TextFileError> {
    if (name == "-") return read_all(STDIN_FILENO);
    const std::string path(name);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return failure(errno);
    auto all = read_all(fd);
    ::close(fd);
    return all;
  }();
  if (text) return text;
  TextFileError error = std::move(text).error();
  error.name = name;
  return error;
}

}  // namespace zarn
