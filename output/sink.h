// Where the sound's bytes go: the output file, or memory for the library,
// the tests and the fuzzers, so everything up to the last byte runs without
// a disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

// How the output failed, as the user needs to know it.
enum class FileErrorKind {
  access_denied,  // no permission, or the name is a folder
  not_found,      // a folder in the path is missing, or the name is blank
  open_failure,   // anything else refused at opening, a concurrent writer too
  write_failure,  // disk full, file-size limit, broken pipe
  no_device,      // a device or socket that takes no bytes
  bad_name,       // the system refuses the name as malformed
  read_only,      // the file can be read but not written
};

struct FileError {
  FileErrorKind kind;
  int system_errno;  // 0 when the platform reported nothing
};

class Sink {
 public:
  virtual ~Sink() = default;
  // Asked for before open(): the bytes and the file's name are to be on the
  // disk before close() returns, where there is a disk.
  virtual void set_durable(bool) {}
  // `name` is the file name without its leading and trailing blanks;
  // `total_bytes` is everything that will be written, so that a sink can
  // refuse before the first byte rather than fail halfway.
  virtual std::optional<FileError> open(std::string_view name, std::uint64_t total_bytes) = 0;
  virtual std::optional<FileError> write(std::span<const std::uint8_t> bytes) = 0;
  // Ends the output after the bytes written, then closes it.
  virtual std::optional<FileError> close() = 0;
};

}  // namespace zarn
