#include "output/replacement.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <utility>

#include "output/interrupt_cleanup.h"
#include "output/target.h"

namespace zarn {
namespace {

// Names to try before taking the folder's refusal as final.
constexpr int kAttempts = 100;
// The target's name in the temporary's is cut so that the whole stays
// within NAME_MAX (255): ".", the cut name, ".zarn-" and six characters.
constexpr std::size_t kMaxNameInTemporary = 255 - 1 - 6 - 6;

std::string folder_of(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string base_of(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Six characters that differ from run to run and from try to try; O_EXCL,
// not chance, keeps two runs apart.
std::string suffix(std::uint64_t& state) {
  constexpr std::string_view kLetters =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  state = state * 6364136223846793005u + 1442695040888963407u;
  std::string text;
  for (std::uint64_t bits = state >> 16; text.size() < 6; bits /= kLetters.size()) {
    text += kLetters[bits % kLetters.size()];
  }
  return text;
}

std::uint64_t seed() {
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  const auto nanoseconds = static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
  return nanoseconds % 1000000000 ^ (nanoseconds / 1000000000 << 20) ^
         (static_cast<std::uint64_t>(::getpid()) << 40);
}

// The old file's owner, group and mode; a user who may not give a file away
// cannot replace one that is not theirs without changing whose it is.
int take_over(int fd, const struct stat& old) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return errno;
  if ((st.st_uid != old.st_uid || st.st_gid != old.st_gid) &&
      ::fchown(fd, old.st_uid, old.st_gid) != 0) {
    return EPERM;
  }
  return ::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}

int sync_folder(const std::string& path) {
  const std::string folder = folder_of(path);
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int result = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return result;
}

// Each name then holds the other's file, in one step.
int trade_names(const std::string& one, const std::string& other) {
#ifdef RENAME_EXCHANGE
  return ::renameat2(AT_FDCWD, one.c_str(), AT_FDCWD, other.c_str(), RENAME_EXCHANGE);
#else  // a C library without the call: the rename it has will do
  static_cast<void>(one);
  static_cast<void>(other);
  errno = ENOSYS;
  return -1;
#endif
}

}  // namespace

// The name and the temporary trade files in one step, then the temporary's
// name, now the old file's, goes. A rename over the old file would do the
// same, but ext4 then starts writing the new one out before it returns,
// which costs a typical run several times its own time. Returns 0, or the
// errno when the trade cannot be made (or the old name is gone), for a rename
// instead.
int Replacement::swap_with_old() {
  const auto trade = [this] { return trade_names(temporary_, path_); };
  if (trade() != 0) return errno;
  struct stat traded {};
  // A file made since may have the old one's number: only a regular file is
  // dropped, as a rename over it would drop it.
  if (::lstat(temporary_.c_str(), &traded) != 0 || !S_ISREG(traded.st_mode) ||
      traded.st_dev != old_.st_dev || traded.st_ino != old_.st_ino) {
    // Something else took the name after it was seen (a folder, another
    // file): it gets its name back, and the rename decides, as it would have.
    // Should that fail, it keeps the temporary's name rather than be removed.
    return trade() == 0 ? EAGAIN : 0;
  }
  // Should the old file's name outlive a failed unlink, it is only a stale
  // temporary's, as after a SIGKILL.
  static_cast<void>(::unlink(temporary_.c_str()));
  return 0;
}

Replacement::~Replacement() {
  discard();
}

int Replacement::create(const std::string& path, const std::optional<struct stat>& old) {
  path_ = path;
  replacing_ = old.has_value();
  if (old) old_ = *old;
  const std::string stem = folder_of(path) + "." + base_of(path).substr(0, kMaxNameInTemporary);
  std::uint64_t state = seed();
  int err = EEXIST;
  for (int attempt = 0; attempt < kAttempts && err == EEXIST; ++attempt) {
    const std::string name = stem + ".zarn-" + suffix(state);
    // The old file's mode may be narrower than the folder's default: nobody
    // else may read the temporary before it has that mode.
    const SignalsHeld held;
    const int opened =
        ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, old ? 0600 : 0666);
    if (opened < 0) {
      err = errno;
      continue;
    }
    fd_ = above_standard_streams(opened);
    if (fd_ < 0) {
      err = errno;
      ::unlink(name.c_str());
      return err;
    }
    temporary_ = name;
    register_temporary(temporary_.c_str());
    err = 0;
  }
  if (err != 0) return err;
  // Locked before it takes the name, so that a second run finds it busy.
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0 || (old && (err = take_over(fd_, *old)) != 0)) {
    err = err != 0 ? err : errno;
    discard();
    return err;
  }
  return 0;
}

int Replacement::commit(bool durable) {
  if (durable && ::fsync(fd_) != 0) {
    const int err = errno;
    discard();
    return err;
  }
  {
    const SignalsHeld held;
    const bool placed =
        (replacing_ && swap_with_old() == 0) || ::rename(temporary_.c_str(), path_.c_str()) == 0;
    const int err = placed ? 0 : errno;
    if (!placed) ::unlink(temporary_.c_str());
    drop_temporary();
    temporary_.clear();
    if (!placed) {
      ::close(std::exchange(fd_, -1));
      return err;
    }
  }
  const int err = durable ? sync_folder(path_) : 0;
  // Closing gives up the lock, once the name is the new file's.
  if (::close(std::exchange(fd_, -1)) != 0 && err == 0) return errno;
  return err;
}

void Replacement::discard() {
  if (!temporary_.empty()) {
    const SignalsHeld held;
    ::unlink(temporary_.c_str());
    drop_temporary();
    temporary_.clear();
  }
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

}  // namespace zarn
