// The output file. A name is opened for reading and writing without
// emptying, locked against a concurrent writer, written in full, cut after
// the last byte and closed; FIFOs and devices are written, never cut. A name
// that stands for one of the process's own descriptors (/dev/stdout,
// /dev/fd/N) is written through that descriptor as the caller set it up:
// at its offset, in its append mode, never cut, locked or closed, and on a
// regular file given back as it was when a write fails.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "output/sink.h"

namespace zarn {

// For a signal handler (async-signal-safe): cuts the file opened by name that
// is being written right after the bytes written so far, so that nothing of
// an older, longer file follows them. A caller's descriptor is never cut,
// but the room reserved past what was written to it is given back.
void cut_interrupted_file();

class OutputFile final : public Sink {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() override;

  std::optional<FileError> open(std::string_view name, std::uint64_t total_bytes) override;
  std::optional<FileError> write(std::span<const std::uint8_t> bytes) override;
  std::optional<FileError> close() override;

 private:
  std::optional<FileError> open_by_name(const std::string& name);
  std::optional<FileError> open_descriptor(int descriptor, int flags);
  std::optional<FileError> make_room(std::uint64_t total_bytes);
  std::optional<FileError> fail(FileErrorKind kind, int system_errno);
  std::optional<FileError> write_failed(int system_errno);
  int close_descriptor();  // ::close()'s result

  int fd_ = -1;  // never 0, 1 or 2, and never the caller's own descriptor
  bool regular_ = false;
  bool cut_ = false;  // opened by name: nothing of the old file may follow the new bytes
  std::uint64_t written_ = 0;
  off_t kept_size_ = -1;  // a caller's regular file is never cut below this; -1: never cut
};

}  // namespace zarn
