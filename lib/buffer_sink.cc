#include "lib/buffer_sink.h"

#include <cerrno>
#include <cstring>

namespace zarn {

FileStatus BufferSink::open(std::string_view, std::uint64_t total_bytes) {
  size_ = 0;
  if (total_bytes > room_.size()) return FileError{FileErrorKind::write_failure, EFBIG};
  return {};
}

FileStatus BufferSink::write(std::span<const std::uint8_t> bytes) {
  // More than announced would be a fault upstream; a file would refuse it
  // past its reserved size in the same way.
  if (bytes.size() > room_.size() - size_) return FileError{FileErrorKind::write_failure, EFBIG};
  if (!bytes.empty()) std::memcpy(room_.data() + size_, bytes.data(), bytes.size());
  size_ += bytes.size();
  return {};
}

}  // namespace zarn
