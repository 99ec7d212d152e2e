#include "output/output_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace zarn {
namespace {

// What a failed open means for the user, by the platform's errno.
FileErrorKind classify_open_errno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return FileErrorKind::not_found;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return FileErrorKind::access_denied;
    case ENXIO:
    case ENODEV:
      return FileErrorKind::no_device;
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
      return FileErrorKind::bad_name;
    default:
      return FileErrorKind::open_failure;
  }
}

// A file we may read but not write is the user's read-only file, not an
// access problem with the place it lives in.
bool readable_but_not_writable(const char* name, int err) {
  if (err != EACCES && err != EROFS && err != ETXTBSY) return false;
  const int fd = ::open(name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool is_fifo(const std::string& name) {
  struct stat st {};
  return ::stat(name.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

}  // namespace

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<FileError> OutputFile::fail(FileErrorKind kind, int system_errno) {
  if (fd_ >= 0) ::close(fd_);  // what was written stays written
  fd_ = -1;
  return FileError{kind, system_errno};
}

std::optional<FileError> OutputFile::open(std::string_view trimmed_name) {
  const std::string name(trimmed_name);
  written_ = 0;
  if (name.empty()) return fail(FileErrorKind::not_found, 0);
  // A FIFO opened for reading too would be its own reader: bytes could be
  // dropped with nobody listening. Write-only waits for the real reader.
  const int mode = is_fifo(name) ? O_WRONLY : O_RDWR | O_CREAT;
  fd_ = ::open(name.c_str(), mode | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd_ < 0) {
    const int err = errno;
    if (readable_but_not_writable(name.c_str(), err)) return fail(FileErrorKind::read_only, err);
    return fail(classify_open_errno(err), err);
  }
  struct stat st {};
  regular_ = ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
  // Two runs writing one file at once would interleave; the second gives way.
  if (regular_ && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    return fail(FileErrorKind::open_failure, errno);
  }
  return std::nullopt;
}

std::optional<FileError> OutputFile::write(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(FileErrorKind::write_failure, errno);
    if (n == 0) return fail(FileErrorKind::write_failure, EIO);  // no progress, no errno
    bytes = bytes.subspan(static_cast<std::size_t>(n));
    written_ += static_cast<std::uint64_t>(n);
  }
  return std::nullopt;
}

std::optional<FileError> OutputFile::close() {
  // An existing longer file must not keep its old tail.
  if (regular_ && ::ftruncate(fd_, static_cast<off_t>(written_)) != 0) {
    return fail(FileErrorKind::write_failure, errno);
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return FileError{FileErrorKind::write_failure, errno};
  return std::nullopt;
}

}  // namespace zarn
