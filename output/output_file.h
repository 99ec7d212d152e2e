// The output file: opened for reading and writing without emptying, locked
// against a concurrent writer, written in full, cut after the last byte and
// closed. FIFOs and devices are written, never cut.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "output/sink.h"

namespace zarn {

class OutputFile final : public Sink {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() override;

  std::optional<FileError> open(std::string_view name) override;
  std::optional<FileError> write(std::span<const std::uint8_t> bytes) override;
  std::optional<FileError> close() override;

 private:
  std::optional<FileError> fail(FileErrorKind kind, int system_errno);

  int fd_ = -1;
  bool regular_ = false;
  std::uint64_t written_ = 0;
};

}  // namespace zarn
