// The sound into memory the library has already taken for it, so that
// running out of memory is found, and said, before anything is rendered.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "output/sink.h"

namespace zarn {

class BufferSink final : public Sink {
 public:
  explicit BufferSink(std::span<std::uint8_t> room) : room_(room) {}

  // Refuses a sound larger than the room, as a full disk would.
  FileStatus open(std::string_view name, std::uint64_t total_bytes) override;
  FileStatus write(std::span<const std::uint8_t> bytes) override;
  FileStatus close() override { return {}; }
  std::size_t size() const { return size_; }  // the bytes written

 private:
  std::span<std::uint8_t> room_;
  std::size_t size_ = 0;
};

}  // namespace zarn
