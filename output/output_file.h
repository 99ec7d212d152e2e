// The output file. A regular file opened by name is replaced whole: the new
// sound is written beside it and renamed over the name, keeping the old
// file's owner, group and mode; a link keeps pointing where it pointed. It is
// written in place (locked, cut after the last byte) where it cannot be
// replaced: several hard links, a folder the user may not write, an owner
// the user may not give it, a disk without room for a second copy. FIFOs and
// devices are written, never cut. A name that stands for one of the process's
// own descriptors (/dev/stdout, /dev/fd/N) is written through that
// descriptor as the caller set it up: at its offset, in its append mode,
// never locked or closed, and on a regular file cut back to where the run
// began when a write fails.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "output/replacement.h"
#include "output/sink.h"
#include "output/target.h"

namespace zarn {

class OutputFile final : public Sink {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() override;

  void set_durable(bool durable) override { durable_ = durable; }
  FileStatus open(std::string_view name, std::uint64_t total_bytes) override;
  FileStatus write(std::span<const std::uint8_t> bytes) override;
  FileStatus close() override;

 private:
  enum class Way { replaced, in_place, callers };

  std::optional<FileError> open_file(std::string_view name, std::uint64_t total_bytes);
  std::optional<FileError> write_bytes(std::span<const std::uint8_t> bytes);
  std::optional<FileError> close_file();
  std::optional<FileError> open_by_name(const std::string& name, std::uint64_t total_bytes);
  std::optional<FileError> open_as_seen(const std::string& name, std::uint64_t total_bytes);
  std::optional<FileError> replace(const Target& target, std::uint64_t total_bytes, bool& instead);
  std::optional<FileError> open_in_place(const std::string& name, const Target& target);
  std::optional<FileError> open_descriptor(int descriptor, int flags);
  std::optional<FileError> make_room(std::uint64_t total_bytes);
  std::optional<FileError> fail(FileErrorKind kind, int system_errno);
  std::optional<FileError> write_failed(int system_errno);
  int finish();             // 0 or the errno
  int close_descriptors();  // ::close()'s result

  Way way_ = Way::in_place;
  Replacement replacement_;
  int fd_ = -1;      // never 0, 1 or 2, and never the caller's own descriptor
  int old_fd_ = -1;  // the file being replaced, locked until the new one has its name
  bool regular_ = false;
  bool durable_ = false;
  std::uint64_t written_ = 0;
  bool reserved_ = false;  // a replacement's blocks were reserved up to the whole sound
  off_t start_ = 0;        // where a caller's descriptor was when the run began
  off_t kept_size_ = -1;   // a caller's regular file is never cut below this; -1: never cut
};

}  // namespace zarn
