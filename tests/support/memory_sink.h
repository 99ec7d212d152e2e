// A sink into memory for the tests and fuzzers: a whole run needs no disk.
#pragma once

#include <cerrno>
#include <cstdint>
#include <vector>

#include "output/sink.h"

namespace zarn::testing {

class MemorySink final : public Sink {
 public:
  FileStatus open(std::string_view, std::uint64_t total_bytes) override {
    announced = total_bytes;
    bytes.clear();
    return {};
  }
  FileStatus write(std::span<const std::uint8_t> more) override {
    if (more.size() > limit - bytes.size()) return FileError{FileErrorKind::write_failure, EFBIG};
    bytes.insert(bytes.end(), more.begin(), more.end());
    return {};
  }
  FileStatus close() override { return {}; }

  std::uint64_t announced = 0;  // the total given to open()
  std::vector<std::uint8_t> bytes;
  // Past this size a write fails as a full file would (EFBIG), so a fuzzer's
  // slow speeds cannot exhaust memory.
  std::size_t limit = SIZE_MAX;
};

}  // namespace zarn::testing
