// The sound handed to the caller's write callback a block at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "output/sink.h"
#include "zarn.h"

namespace zarn {

class CallbackSink final : public Sink {
 public:
  CallbackSink(zarn_write_fn write, void* context) : write_(write), context_(context) {}

  FileStatus open(std::string_view, std::uint64_t) override { return {}; }
  // A callback that asks to stop ends the run as a failed write would.
  FileStatus write(std::span<const std::uint8_t> bytes) override;
  FileStatus close() override { return {}; }

  bool stopped() const { return stopped_; }

 private:
  zarn_write_fn write_;
  void* context_;
  bool stopped_ = false;
};

}  // namespace zarn
