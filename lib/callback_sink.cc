#include "lib/callback_sink.h"

namespace zarn {

FileStatus CallbackSink::write(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return {};
  if (write_(context_, bytes.data(), bytes.size()) == 0) return {};
  stopped_ = true;
  return FileError{FileErrorKind::write_failure, 0};
}

}  // namespace zarn
