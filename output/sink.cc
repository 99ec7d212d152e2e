#include "output/sink.h"

#include <cerrno>

namespace zarn {

std::optional<FileError> MemorySink::open(std::string_view, std::uint64_t total_bytes) {
  announced = total_bytes;
  bytes.clear();
  return std::nullopt;
}

std::optional<FileError> MemorySink::write(std::span<const std::uint8_t> more) {
  if (more.size() > limit - bytes.size()) return FileError{FileErrorKind::write_failure, EFBIG};
  bytes.insert(bytes.end(), more.begin(), more.end());
  return std::nullopt;
}

}  // namespace zarn
