// The new file beside the one it replaces: written under a temporary name in
// the same folder, then given the name in one step (the two trade names and
// the old file goes, or a rename over it), so that the name is the old file
// whole or the new one whole at every instant, a SIGKILL or (with fsync) a
// power loss included. A run ended before that leaves the old file as it was
// and, after a SIGKILL only, a file named ".<name>.zarn-XXXXXX" beside it.
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>

namespace zarn {

class Replacement {
 public:
  Replacement() = default;
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;
  ~Replacement();

  // Makes the temporary file for `path`. With `old`, the file it replaces,
  // the temporary takes its owner, group and mode, and fails with EPERM where
  // it cannot have them. Returns 0 or the errno.
  int create(const std::string& path, const std::optional<struct stat>& old);
  int fd() const { return fd_; }

  // Puts the temporary in the name's place; with `durable`, the file and the
  // folder's entry are on the disk first. Returns 0 or the errno, after which
  // the temporary is gone.
  int commit(bool durable);
  // Removes the temporary and closes it.
  void discard();

 private:
  int swap_with_old();

  int fd_ = -1;
  bool replacing_ = false;  // a file has the name: old_
  struct stat old_ {};
  std::string path_;       // the name it replaces
  std::string temporary_;  // beside it
};

}  // namespace zarn
