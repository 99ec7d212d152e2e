#include "output/output_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>

#include "output/descriptor_name.h"
#include "output/interrupt_cleanup.h"
#include "output/room.h"

namespace zarn {
namespace {

// Looks at a name that changed between the look and the open.
constexpr int kLooks = 3;

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

// Only a plain regular file with one name is replaced; a second hard link
// would go on naming the old sound.
bool replaceable(const Target& target) {
  const auto slash = target.path.rfind('/');
  const std::string_view base =
      std::string_view(target.path).substr(slash == std::string::npos ? 0 : slash + 1);
  if (base.empty() || base == "." || base == "..") return false;
  return !target.seen || (S_ISREG(target.seen->st_mode) && target.seen->st_nlink == 1);
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

}  // namespace

OutputFile::~OutputFile() {
  close_descriptors();
}

// Once written or failed, nothing is left for an interrupt to undo, and a
// temporary not renamed is removed.
int OutputFile::close_descriptors() {
  drop_in_place();
  drop_caller();
  replacement_.discard();
  int result = 0;
  if (way_ != Way::replaced && fd_ >= 0) result = ::close(fd_);
  fd_ = -1;
  if (old_fd_ >= 0) ::close(std::exchange(old_fd_, -1));
  return result;
}

std::optional<FileError> OutputFile::fail(FileErrorKind kind, int system_errno) {
  close_descriptors();
  return FileError{kind, system_errno};
}

// A write failed part-way. A replacement is dropped and the old file stays;
// a file written in place keeps the bytes written and nothing of the old file
// after them; a regular file of the caller's loses what this run added past
// where it began, and is as it was.
std::optional<FileError> OutputFile::write_failed(int system_errno) {
  if (way_ == Way::in_place && regular_) {
    static_cast<void>(::ftruncate(fd_, static_cast<off_t>(written_)));
  } else if (way_ == Way::callers) {
    cut_back_caller();
  }
  return fail(FileErrorKind::write_failure, system_errno);
}

std::optional<FileError> OutputFile::open_file(std::string_view trimmed_name,
                                               std::uint64_t total_bytes) {
  const std::string name(trimmed_name);
  written_ = 0;
  kept_size_ = -1;
  if (name.empty()) return fail(FileErrorKind::not_found, 0);
  const auto descriptor = descriptor_named(name);
  // A descriptor that is not open leaves the name to be opened like any other.
  const int flags = descriptor ? ::fcntl(*descriptor, F_GETFL) : -1;
  if (flags < 0) return open_by_name(name, total_bytes);
  if (auto failure = open_descriptor(*descriptor, flags)) return failure;
  return make_room(total_bytes);
}

// Another run may rename its finished file over the name between the look
// and the open: the name is looked at again, a few times, before the change
// is taken for a file swapped in.
std::optional<FileError> OutputFile::open_by_name(const std::string& name,
                                                  std::uint64_t total_bytes) {
  std::optional<FileError> failure;
  for (int attempt = 0; attempt < kLooks; ++attempt) {
    failure = open_as_seen(name, total_bytes);
    if (!failure || failure->kind != FileErrorKind::open_failure || failure->system_errno != 0) {
      break;
    }
  }
  return failure;
}

std::optional<FileError> OutputFile::open_as_seen(const std::string& name,
                                                  std::uint64_t total_bytes) {
  const auto looked = look_up(name);
  if (const int* err = std::get_if<int>(&looked)) return fail(classify_open_errno(*err), *err);
  const Target& target = std::get<Target>(looked);
  if (replaceable(target)) {
    bool instead = false;
    auto failure = replace(target, total_bytes, instead);
    if (!instead) return failure;
  }
  if (auto failure = open_in_place(name, target)) return failure;
  return make_room(total_bytes);
}

// Sets `instead` where the file is to be written in place after all, which
// then says why it cannot be written at all.
std::optional<FileError> OutputFile::replace(const Target& target, std::uint64_t total_bytes,
                                             bool& instead) {
  if (const int err = beyond_file_size_limit(total_bytes)) {
    return fail(FileErrorKind::write_failure, err);
  }
  if (target.seen) {
    const Opened old = open_seen(target, O_WRONLY | O_NONBLOCK);
    if (old.fd < 0 && old.error == 0) return fail(FileErrorKind::open_failure, 0);
    if (old.fd < 0) {
      instead = true;
      return std::nullopt;
    }
    old_fd_ = old.fd;
    // Two runs writing one file at once would interleave; the second gives way.
    if (::flock(old_fd_, LOCK_EX | LOCK_NB) != 0) return fail(FileErrorKind::open_failure, errno);
  }
  if (const int err = replacement_.create(target.path, target.seen)) {
    close_descriptors();
    instead = target.seen || err == ENAMETOOLONG;
    if (instead) return std::nullopt;
    return FileError{classify_open_errno(err), err};
  }
  way_ = Way::replaced;
  fd_ = replacement_.fd();
  regular_ = true;
  if (const int err = reserve_unless_ample(fd_, total_bytes, &reserved_)) {
    // No room for a second copy: the old file's own room may still take it.
    close_descriptors();
    way_ = Way::in_place;
    instead = target.seen && err != EFBIG;
    if (instead) return std::nullopt;
    return FileError{FileErrorKind::write_failure, err};
  }
  return std::nullopt;
}

std::optional<FileError> OutputFile::open_in_place(const std::string& name, const Target& target) {
  way_ = Way::in_place;
  const mode_t type = target.seen ? target.seen->st_mode & S_IFMT : S_IFREG;
  // A FIFO opened for reading too would be its own reader: bytes could be
  // dropped with nobody listening. Write-only waits for the real reader. A
  // regular file is opened without waiting, so that a FIFO put in its place
  // cannot hold the run before it is refused.
  const int mode = type == S_IFIFO ? O_WRONLY : O_RDWR;
  const int wait = type == S_IFREG ? O_NONBLOCK : 0;
  Opened opened = open_seen(target, mode | wait);
  // A file its owner may write but not read is still theirs to overwrite.
  if (opened.fd < 0 && opened.error == EACCES && mode != O_WRONLY) {
    opened = open_seen(target, O_WRONLY | wait);
  }
  if (opened.fd < 0) {
    const int err = opened.error;
    if (err == 0) return fail(FileErrorKind::open_failure, 0);
    if (readable_but_not_writable(name.c_str(), err)) return fail(FileErrorKind::read_only, err);
    return fail(classify_open_errno(err), err);
  }
  fd_ = opened.fd;
  if (wait != 0) ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  regular_ = type == S_IFREG;
  if (regular_ && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    return fail(FileErrorKind::open_failure, errno);
  }
  if (regular_) register_in_place(fd_);
  return std::nullopt;
}

// Written through a duplicate, which shares the caller's offset and append
// mode; closing the duplicate leaves the caller's descriptor open. No lock:
// it would belong to the caller's open file and outlive the run.
std::optional<FileError> OutputFile::open_descriptor(int descriptor, int flags) {
  way_ = Way::callers;
  struct stat st {};
  if (::fstat(descriptor, &st) != 0) return fail(FileErrorKind::open_failure, errno);
  if (S_ISDIR(st.st_mode)) return fail(FileErrorKind::access_denied, EISDIR);
  // Every write would fail; refuse before the first, as for a read-only file.
  if ((flags & O_ACCMODE) == O_RDONLY) return fail(FileErrorKind::read_only, EBADF);
  fd_ = ::fcntl(descriptor, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  if (fd_ < 0) return fail(FileErrorKind::open_failure, errno);
  regular_ = S_ISREG(st.st_mode);
  return std::nullopt;
}

// Before the first byte, the whole sound must be sure to fit, counted from
// where writing starts: the end in append mode, else the offset. A file
// written in place holds the room inside its size; a caller's file is only
// checked against the free room, as nothing held for it would be given back
// after a SIGKILL.
std::optional<FileError> OutputFile::make_room(std::uint64_t total_bytes) {
  struct stat st {};
  if (!regular_ || ::fstat(fd_, &st) != 0) return std::nullopt;
  const int flags = ::fcntl(fd_, F_GETFL);
  const off_t start = flags >= 0 && (flags & O_APPEND) ? st.st_size : ::lseek(fd_, 0, SEEK_CUR);
  if (start < 0) return std::nullopt;
  const std::uint64_t end = static_cast<std::uint64_t>(start) + total_bytes;
  if (const int err = beyond_file_size_limit(end)) return fail(FileErrorKind::write_failure, err);
  if (way_ == Way::in_place) {
    if (const int err = reserve_inside(fd_, st.st_size, end)) {
      return fail(FileErrorKind::write_failure, err);
    }
    return std::nullopt;
  }
  if (const int err = free_room_for(fd_, st.st_size, end)) {
    return fail(FileErrorKind::write_failure, err);
  }
  start_ = start;
  kept_size_ = std::max(start, st.st_size);
  register_caller(fd_, kept_size_);
  return std::nullopt;
}

std::optional<FileError> OutputFile::write_bytes(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    if (kept_size_ >= 0) {
      allow_caller_end(start_ + static_cast<off_t>(written_ + bytes.size()));
    }
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

// An existing longer file must not keep its old tail, nor a replacement the
// room reserved past what was written. Returns 0 or the errno.
int OutputFile::finish() {
  const auto size = static_cast<off_t>(written_);
  // A temporary written from its start and never reserved past its end is
  // already its size; on ext4 a truncate would also flush it at close.
  const bool sized = way_ == Way::replaced && !reserved_;
  if (way_ != Way::callers && regular_ && !sized && ::ftruncate(fd_, size) != 0) return errno;
  if (way_ == Way::replaced) return replacement_.commit(durable_);
  if (durable_ && regular_ && ::fsync(fd_) != 0) return errno;
  return 0;
}

std::optional<FileError> OutputFile::close_file() {
  if (const int err = finish()) return fail(FileErrorKind::write_failure, err);
  if (close_descriptors() != 0) return FileError{FileErrorKind::write_failure, errno};
  return std::nullopt;
}

namespace {

FileStatus as_status(const std::optional<FileError>& failure) {
  if (failure) return *failure;
  return {};
}

}  // namespace

FileStatus OutputFile::open(std::string_view name, std::uint64_t total_bytes) {
  return as_status(open_file(name, total_bytes));
}

FileStatus OutputFile::write(std::span<const std::uint8_t> bytes) {
  return as_status(write_bytes(bytes));
}

FileStatus OutputFile::close() {
  return as_status(close_file());
}

}  // namespace zarn
