#include "output/output_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "output/descriptor_name.h"

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

// Started with a standard stream closed, the file would take its number, and
// a diagnostic or an interrupt's line would land in the sound.
int above_standard_streams(int fd) {
  if (fd > STDERR_FILENO) return fd;
  const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  const int err = errno;
  ::close(fd);
  errno = err;
  return moved;
}

bool beyond_file_size_limit(std::uint64_t end) {
  rlimit limit{};
  if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return false;
  return end > limit.rlim_cur;
}

// Reserves the bytes' room without changing the file's size. Returns 0, or
// the errno of a lack of room; a file system that cannot reserve is written
// as it always was.
int reserve(int fd, off_t start, std::uint64_t length) {
  int result = 0;
  do {
    result = ::fallocate(fd, FALLOC_FL_KEEP_SIZE, start, static_cast<off_t>(length));
  } while (result != 0 && errno == EINTR);
  if (result == 0) return 0;
  return errno == ENOSPC || errno == EDQUOT || errno == EFBIG ? errno : 0;
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

std::optional<FileError> OutputFile::open(std::string_view trimmed_name,
                                          std::uint64_t total_bytes) {
  const std::string name(trimmed_name);
  written_ = 0;
  if (name.empty()) return fail(FileErrorKind::not_found, 0);
  const auto descriptor = descriptor_named(name);
  // A descriptor that is not open leaves the name to be opened like any other.
  const int flags = descriptor ? ::fcntl(*descriptor, F_GETFL) : -1;
  auto failure = flags >= 0 ? open_descriptor(*descriptor, flags) : open_by_name(name);
  if (failure) return failure;
  return make_room(total_bytes);
}

std::optional<FileError> OutputFile::open_by_name(const std::string& name) {
  // A FIFO opened for reading too would be its own reader: bytes could be
  // dropped with nobody listening. Write-only waits for the real reader.
  const int mode = is_fifo(name) ? O_WRONLY : O_RDWR | O_CREAT;
  const int fd = ::open(name.c_str(), mode | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) {
    const int err = errno;
    if (readable_but_not_writable(name.c_str(), err)) return fail(FileErrorKind::read_only, err);
    return fail(classify_open_errno(err), err);
  }
  fd_ = above_standard_streams(fd);
  if (fd_ < 0) return fail(FileErrorKind::open_failure, errno);
  struct stat st {};
  regular_ = ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
  cut_ = regular_;
  // Two runs writing one file at once would interleave; the second gives way.
  if (regular_ && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    return fail(FileErrorKind::open_failure, errno);
  }
  return std::nullopt;
}

// Written through a duplicate, which shares the caller's offset and append
// mode; closing the duplicate leaves the caller's descriptor open. No lock:
// it would belong to the caller's open file and outlive the run.
std::optional<FileError> OutputFile::open_descriptor(int descriptor, int flags) {
  struct stat st {};
  if (::fstat(descriptor, &st) != 0) return fail(FileErrorKind::open_failure, errno);
  if (S_ISDIR(st.st_mode)) return fail(FileErrorKind::access_denied, EISDIR);
  // Every write would fail; refuse before the first, as for a read-only file.
  if ((flags & O_ACCMODE) == O_RDONLY) return fail(FileErrorKind::read_only, EBADF);
  fd_ = ::fcntl(descriptor, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  if (fd_ < 0) return fail(FileErrorKind::open_failure, errno);
  regular_ = S_ISREG(st.st_mode);
  cut_ = false;
  return std::nullopt;
}

// Before old bytes are overwritten, the whole sound must be sure to fit: a
// write failing halfway would leave neither the old file nor a new one.
std::optional<FileError> OutputFile::make_room(std::uint64_t total_bytes) {
  struct stat st {};
  if (!regular_ || ::fstat(fd_, &st) != 0) return std::nullopt;
  const int flags = ::fcntl(fd_, F_GETFL);
  const off_t start = flags >= 0 && (flags & O_APPEND) ? st.st_size : ::lseek(fd_, 0, SEEK_CUR);
  // Nothing old is overwritten in a new or empty file or at the end of one:
  // there, what was written before a failure stays, as it always did.
  if (start < 0 || start >= st.st_size) return std::nullopt;
  if (beyond_file_size_limit(static_cast<std::uint64_t>(start) + total_bytes)) {
    return fail(FileErrorKind::write_failure, EFBIG);
  }
  if (const int err = reserve(fd_, start, total_bytes)) {
    return fail(FileErrorKind::write_failure, err);
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
  if (cut_ && ::ftruncate(fd_, static_cast<off_t>(written_)) != 0) {
    return fail(FileErrorKind::write_failure, errno);
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return FileError{FileErrorKind::write_failure, errno};
  return std::nullopt;
}

}  // namespace zarn
