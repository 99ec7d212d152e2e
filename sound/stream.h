// The writer: a planned sound as the bytes of its file, header and samples,
// a block at a time, in fixed memory however long the sound. The same
// bytes go to a file or to memory.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "sound/sound_plan.h"

namespace zarn {

class SoundStream {
 public:
  // Makes every allocation the stream needs, so that nothing can run out of
  // memory once the first byte is out.
  explicit SoundStream(const SoundPlan& plan);
  ~SoundStream();
  SoundStream(const SoundStream&) = delete;
  SoundStream& operator=(const SoundStream&) = delete;

  // Every byte next() gives, announced to the output before the first; for
  // the compressed encodings the most it can give.
  std::uint64_t size() const { return size_; }
  // The next block, empty after the last; valid until the next call.
  std::span<const std::uint8_t> next();

  // Encoded samples, however they are rendered.
  class Samples {
   public:
    virtual ~Samples() = default;
    // Writes the next out.size() bytes: whole frames.
    virtual void fill(std::span<std::uint8_t> out) = 0;
  };

 private:
  class Coded;

  std::uint64_t size_;
  std::vector<std::uint8_t> header_;
  std::uint64_t sample_bytes_left_;
  std::size_t frame_bytes_;
  std::unique_ptr<Samples> samples_;
  std::size_t block_bytes_;
  // Never zeroed: every byte handed out is written first, and clearing its
  // 64 KiB took a ninth of a typical run's instructions.
  std::unique_ptr<std::uint8_t[]> block_;
  std::unique_ptr<Coded> coded_;  // the compressed encodings' bytes, in place of samples_
};

}  // namespace zarn
