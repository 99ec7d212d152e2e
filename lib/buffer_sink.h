// The sound in one block of memory, allocated with malloc so that a C
// caller can take it and free it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "output/sink.h"

namespace zarn {

class BufferSink final : public Sink {
 public:
  BufferSink() = default;
  BufferSink(const BufferSink&) = delete;
  BufferSink& operator=(const BufferSink&) = delete;
  ~BufferSink() override;

  // Takes the whole announced size at once: a sound that cannot fit fails
  // here, before any rendering, as a full disk would.
  std::optional<FileError> open(std::string_view name, std::uint64_t total_bytes) override;
  std::optional<FileError> write(std::span<const std::uint8_t> bytes) override;
  std::optional<FileError> close() override { return std::nullopt; }

  // Hands the bytes to the caller, who frees them with free().
  std::span<std::uint8_t> release();

 private:
  std::uint8_t* data_ = nullptr;
  std::uint64_t capacity_ = 0;
  std::uint64_t size_ = 0;
};

}  // namespace zarn
