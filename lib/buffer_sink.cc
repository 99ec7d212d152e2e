#include "lib/buffer_sink.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace zarn {

BufferSink::~BufferSink() {
  std::free(data_);
}

std::optional<FileError> BufferSink::open(std::string_view, std::uint64_t total_bytes) {
  std::free(data_);
  data_ = nullptr;
  capacity_ = size_ = 0;
  // A size_t narrower than the WAV limit (wasm32) cannot hold every sound.
  if (total_bytes > std::numeric_limits<std::size_t>::max()) {
    return FileError{FileErrorKind::write_failure, ENOMEM};
  }
  // One byte at least, so that an empty sound is not mistaken for a failure.
  data_ = static_cast<std::uint8_t*>(std::malloc(total_bytes > 0 ? total_bytes : 1));
  if (data_ == nullptr) return FileError{FileErrorKind::write_failure, ENOMEM};
  capacity_ = total_bytes;
  return std::nullopt;
}

std::optional<FileError> BufferSink::write(std::span<const std::uint8_t> bytes) {
  // More than announced would be a fault upstream; a file would refuse it
  // past its reserved size in the same way.
  if (bytes.size() > capacity_ - size_) return FileError{FileErrorKind::write_failure, EFBIG};
  if (!bytes.empty()) std::memcpy(data_ + size_, bytes.data(), bytes.size());
  size_ += bytes.size();
  return std::nullopt;
}

std::span<std::uint8_t> BufferSink::release() {
  const std::span<std::uint8_t> out(data_, static_cast<std::size_t>(size_));
  data_ = nullptr;
  capacity_ = size_ = 0;
  return out;
}

}  // namespace zarn
