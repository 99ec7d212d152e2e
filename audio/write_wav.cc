#include "audio/write_wav.h"

#include <algorithm>
#include <array>

#include "audio/renderer.h"
#include "audio/wav_header.h"

namespace zarn {
namespace {

// Big enough that a typical identification goes out in one write, small
// enough that a long one never needs more memory than this.
constexpr std::size_t kBlockSize = 64 * 1024;

}  // namespace

std::uint64_t wav_size(const TonePlan& plan) {
  return kHeaderSize + static_cast<std::uint64_t>(plan.sample_count);
}

std::optional<FileError> write_wav(const TonePlan& plan, std::span<const std::uint8_t> units,
                                   Sink& sink) {
  std::array<std::uint8_t, kBlockSize> block;
  const auto header = WavHeader{plan.sample_count}.bytes();
  std::copy(header.begin(), header.end(), block.begin());
  std::size_t filled = header.size();
  std::size_t samples_left = static_cast<std::size_t>(plan.sample_count);
  ToneRenderer renderer(plan, units);
  for (;;) {
    const std::size_t take = std::min(samples_left, block.size() - filled);
    renderer.fill(std::span(block).subspan(filled, take));
    filled += take;
    samples_left -= take;
    if (auto failure = sink.write(std::span(block).first(filled))) return failure;
    if (samples_left == 0) return std::nullopt;
    filled = 0;
  }
}

}  // namespace zarn
