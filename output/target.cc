#include "output/target.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>

namespace zarn {
namespace {

// Links followed before giving up, as the system does with ELOOP.
constexpr int kMaxLinks = 40;

std::string folder_of(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino &&
         (a.st_mode & S_IFMT) == (b.st_mode & S_IFMT);
}

}  // namespace

std::variant<Target, int> look_up(const std::string& name) {
  std::string path = name;
  for (int links = 0; links <= kMaxLinks; ++links) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
      if (errno == ENOENT) return Target{path, std::nullopt};
      return errno;
    }
    if (!S_ISLNK(st.st_mode)) return Target{path, st};
    char link[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), link, sizeof link);
    if (n < 0) return errno;
    if (static_cast<std::size_t>(n) == sizeof link) return ENAMETOOLONG;
    const std::string to(link, static_cast<std::size_t>(n));
    path = to.starts_with('/') ? to : folder_of(path) + to;
  }
  return ELOOP;
}

int above_standard_streams(int fd) {
  if (fd > STDERR_FILENO) return fd;
  const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  const int err = errno;
  ::close(fd);
  errno = err;
  return moved;
}

Opened open_seen(const Target& target, int flags) {
  flags |= O_CLOEXEC | O_NOCTTY | O_NOFOLLOW;
  if (!target.seen) flags |= O_CREAT | O_EXCL;
  const int opened = ::open(target.path.c_str(), flags, 0666);
  if (opened < 0) {
    // A link where a file was seen, or a file where none was: not what was
    // checked.
    const bool changed = target.seen ? errno == ELOOP : errno == EEXIST;
    return {.fd = -1, .error = changed ? 0 : errno};
  }
  const int fd = above_standard_streams(opened);
  if (fd < 0) return {.fd = -1, .error = errno};
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    return {.fd = -1, .error = err};
  }
  if (target.seen && !same_file(st, *target.seen)) {
    ::close(fd);
    return {.fd = -1, .error = 0};
  }
  return {.fd = fd, .error = 0};
}

}  // namespace zarn
