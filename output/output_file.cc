#include "output/output_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string>
#include <utility>

#include "output/descriptor_name.h"

namespace zarn {
namespace {

// The file an interrupt cuts: one opened by name while it is written, else -1.
std::atomic<int> interrupted_file{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read in a signal handler");
// A caller's file with room reserved past its end, and where the room ends:
// an interrupt gives back what was not written, without cutting the file.
std::atomic<int> reserved_file{-1};
std::atomic<off_t> reserved_end{0};
static_assert(std::atomic<off_t>::is_always_lock_free, "read in a signal handler");

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

// Waits until a descriptor the caller made non-blocking takes bytes again.
// Returns 0, or the errno of a failed wait.
int wait_writable(int fd) {
  pollfd entry{.fd = fd, .events = POLLOUT, .revents = 0};
  while (::poll(&entry, 1, -1) < 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

void release_reserved_room() {
  const int fd = reserved_file.load(std::memory_order_relaxed);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0) return;
  // Truncating to its own size frees the blocks reserved past the end and
  // moves no byte (ext4 and XFS will not punch a hole past the end).
  if (st.st_size < reserved_end.load(std::memory_order_relaxed)) {
    static_cast<void>(::ftruncate(fd, st.st_size));
  }
}

}  // namespace

void cut_interrupted_file() {
  release_reserved_room();
  const int fd = interrupted_file.load(std::memory_order_relaxed);
  if (fd < 0) return;
  // The offset is exactly what was written, even when the signal came
  // between a write and the count after it. Nothing written yet: the old
  // file is whole and stays.
  const off_t end = ::lseek(fd, 0, SEEK_CUR);
  if (end > 0) static_cast<void>(::ftruncate(fd, end));
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) close_descriptor();
}

// Once written or failed, the file is no longer the interrupt's to cut, and
// any room still reserved past what was written is given back.
int OutputFile::close_descriptor() {
  if (cut_) interrupted_file.store(-1, std::memory_order_relaxed);
  if (reserved_file.load(std::memory_order_relaxed) == fd_) {
    release_reserved_room();
    reserved_file.store(-1, std::memory_order_relaxed);
  }
  return ::close(std::exchange(fd_, -1));
}

std::optional<FileError> OutputFile::fail(FileErrorKind kind, int system_errno) {
  if (fd_ >= 0) close_descriptor();
  return FileError{kind, system_errno};
}

// A write failed part-way. A file opened by name keeps the bytes written and
// nothing of the old file after them; a regular file of the caller's loses
// what this run added past where it began, and is as it was.
std::optional<FileError> OutputFile::write_failed(int system_errno) {
  struct stat st {};
  if (cut_) {
    static_cast<void>(::ftruncate(fd_, static_cast<off_t>(written_)));
  } else if (regular_ && kept_size_ >= 0 && ::fstat(fd_, &st) == 0 && st.st_size > kept_size_) {
    static_cast<void>(::ftruncate(fd_, kept_size_));
  }
  return fail(FileErrorKind::write_failure, system_errno);
}

std::optional<FileError> OutputFile::open(std::string_view trimmed_name,
                                          std::uint64_t total_bytes) {
  const std::string name(trimmed_name);
  written_ = 0;
  kept_size_ = -1;
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
  int fd = ::open(name.c_str(), mode | O_CLOEXEC | O_NOCTTY, 0666);
  // A file its owner may write but not read is still theirs to overwrite.
  if (fd < 0 && errno == EACCES && mode != O_WRONLY) {
    fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
  }
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
  if (cut_) interrupted_file.store(fd_, std::memory_order_relaxed);
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

// Before the first byte, the whole sound must be sure to fit: a write failing
// halfway would leave neither the old file nor a new one, or a log with a
// broken sound at its end. The room is counted from where writing starts:
// the end in append mode, else the offset.
std::optional<FileError> OutputFile::make_room(std::uint64_t total_bytes) {
  struct stat st {};
  if (!regular_ || ::fstat(fd_, &st) != 0) return std::nullopt;
  const int flags = ::fcntl(fd_, F_GETFL);
  const off_t start = flags >= 0 && (flags & O_APPEND) ? st.st_size : ::lseek(fd_, 0, SEEK_CUR);
  if (start < 0) return std::nullopt;
  kept_size_ = std::max(start, st.st_size);
  // In a new or empty file opened by name nothing old is at stake: there,
  // what was written before a failure stays, as it always did.
  if (cut_ && st.st_size == 0) return std::nullopt;
  if (beyond_file_size_limit(static_cast<std::uint64_t>(start) + total_bytes)) {
    return fail(FileErrorKind::write_failure, EFBIG);
  }
  if (const int err = reserve(fd_, start, total_bytes)) {
    return fail(FileErrorKind::write_failure, err);
  }
  if (!cut_) {
    reserved_end.store(start + static_cast<off_t>(total_bytes), std::memory_order_relaxed);
    reserved_file.store(fd_, std::memory_order_relaxed);
  }
  return std::nullopt;
}

std::optional<FileError> OutputFile::write(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (const int err = wait_writable(fd_)) return write_failed(err);
      continue;
    }
    if (n < 0) return write_failed(errno);
    if (n == 0) return write_failed(EIO);  // no progress, no errno
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
  if (close_descriptor() != 0) return FileError{FileErrorKind::write_failure, errno};
  return std::nullopt;
}

}  // namespace zarn
