#include "lib/callback_sink.h"

namespace zarn {

std::optional<FileError> CallbackSink::write(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return std::nullopt;
  if (write_(context_, bytes.data(), bytes.size()) == 0) return std::nullopt;
  stopped_ = true;
  return FileError{FileErrorKind::write_failure, 0};
}

}  // namespace zarn
