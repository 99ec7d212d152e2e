// Whether a sound will fit before its first byte is written: a write failing
// halfway would leave a broken sound. Each check returns 0, or the errno of
// the lack of room (EFBIG, ENOSPC, EDQUOT); a file system that cannot tell is
// written as it always was.
#pragma once

#include <sys/types.h>

#include <cstdint>

namespace zarn {

// Past the process's file-size limit (RLIMIT_FSIZE).
int beyond_file_size_limit(std::uint64_t end);

// Allocates the file's blocks up to `end`, growing its size to it, so that
// the room is part of the file whatever happens to the run: nothing is held
// past the end that only a truncate would give back. After a failure the file
// is cut back to `size`, its size before.
int reserve_inside(int fd, off_t size, std::uint64_t end);

// For a file nobody sees until it is whole (a replacement's temporary): a
// write that runs out of room there loses nothing, so the blocks are only
// reserved when the file system's free room is close to what the file needs
// or cannot be told. Returns 0 (`*reserved` says whether it reserved), or the
// errno of the lack of room.
int reserve_unless_ample(int fd, std::uint64_t end, bool* reserved);

// For a file that is not the run's to grow past what it writes (a caller's
// log): whether the file system reports the free room for the bytes past its
// size. Nothing is reserved, so a run ended by SIGKILL holds nothing back.
int free_room_for(int fd, off_t size, std::uint64_t end);

}  // namespace zarn
