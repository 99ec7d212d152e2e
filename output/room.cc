#include "output/room.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

namespace zarn {
namespace {

bool lack_of_room(int err) {
  return err == ENOSPC || err == EDQUOT || err == EFBIG;
}

}  // namespace

int beyond_file_size_limit(std::uint64_t end) {
  rlimit limit{};
  if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 0;
  return end > limit.rlim_cur ? EFBIG : 0;
}

int reserve_inside(int fd, off_t size, std::uint64_t end) {
  if (end > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return EFBIG;
  if (end == 0) return 0;
  int result = 0;
  do {
    result = ::fallocate(fd, 0, 0, static_cast<off_t>(end));
  } while (result != 0 && errno == EINTR);
  if (result == 0) return 0;
  const int err = errno;
  // A failed allocation may have kept some of what it took.
  static_cast<void>(::ftruncate(fd, size));
  return lack_of_room(err) ? err : 0;
}

int reserve_unless_ample(int fd, std::uint64_t end, bool* reserved) {
  // Ample: four times the file and 64 MiB more. A reservation there would only
  // cost time: about a millisecond on ext4, more than the rest of a typical run.
  constexpr std::uint64_t kSpare = 64u << 20;
  struct statvfs fs {};
  const bool ample =
      end <= std::numeric_limits<std::uint64_t>::max() / 8 - kSpare && ::fstatvfs(fd, &fs) == 0 &&
      fs.f_frsize != 0 && fs.f_blocks != 0 &&
      (::geteuid() == 0 ? fs.f_bfree : fs.f_bavail) / 4 > (end + kSpare) / fs.f_frsize + 1;
  *reserved = !ample;
  return ample ? 0 : reserve_inside(fd, 0, end);
}

int free_room_for(int fd, off_t size, std::uint64_t end) {
  if (end <= static_cast<std::uint64_t>(size)) return 0;
  struct statvfs fs {};
  // A file system of no fixed size (tmpfs without a limit) reports no blocks.
  if (::fstatvfs(fd, &fs) != 0 || fs.f_frsize == 0 || fs.f_blocks == 0) return 0;
  // Whole blocks, and one more for the file system's own bookkeeping.
  const std::uint64_t block = fs.f_frsize;
  const std::uint64_t needed = (end - static_cast<std::uint64_t>(size)) / block + 2;
  // Root may use the blocks kept back for it.
  const std::uint64_t free = ::geteuid() == 0 ? fs.f_bfree : fs.f_bavail;
  return needed > free ? ENOSPC : 0;
}

}  // namespace zarn
