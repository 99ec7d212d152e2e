// What a file name stands for when it is written: the file at the end of its
// symbolic links, as it was seen before opening, and an open that refuses
// whatever has taken its place since (a FIFO made by another process in the
// meantime would have the sound written into nobody).
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>
#include <variant>

namespace zarn {

struct Target {
  std::string path;                 // the name with its links followed
  std::optional<struct stat> seen;  // nothing: no file there yet
};

// Follows the name's symbolic links one at a time, as opening would, so that
// a link keeps pointing at the file it names. Returns the errno of a name
// the system refuses (ELOOP past 40 links, ENAMETOOLONG, ENOTDIR, EACCES).
std::variant<Target, int> look_up(const std::string& name);

struct Opened {
  int fd = -1;    // never 0, 1 or 2
  int error = 0;  // with no descriptor: the errno, or 0 when another file is there by now
};

// Opens the file look_up saw with `flags` (O_CLOEXEC and O_NOCTTY added),
// never following a link that has taken its place. With nothing seen, the
// file is created, and only if there is still nothing at the name.
Opened open_seen(const Target& target, int flags);

// Moves a descriptor that took the number of a closed standard stream above
// them, so that no diagnostic or interrupt's line can land in the sound.
int above_standard_streams(int fd);

}  // namespace zarn
