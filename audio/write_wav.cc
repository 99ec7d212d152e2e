#include "audio/write_wav.h"

#include <algorithm>
#include <array>
#include <vector>

#include "audio/drift_free_renderer.h"
#include "audio/renderer.h"
#include "audio/wav_header.h"

namespace zarn {
namespace {

// Big enough that a typical identification goes out in one write, small
// enough that a long one never needs more memory than this. Even, so that
// two-byte samples never straddle blocks.
constexpr std::size_t kBlockSize = 64 * 1024;

// The classic single-precision arithmetic is kept for the sounds its fixed
// image held, 80,000 bytes less the header; past that its accumulators drift
// and then stall, and the drift-free renderer takes over.
constexpr std::int32_t kAccumulatedSamples = 79'956;

WavHeader classic_header(const TonePlan& plan) {
  return {.format = kClassicFormat, .sample_count = plan.sample_count, .pad_odd_data = false};
}

WavHeader shaped_header(const ShapedSound& sound) {
  const SoundFormat format{static_cast<std::int32_t>(sound.sample_rate), sound.encoding};
  return {.format = format, .sample_count = sound.sample_count, .pad_odd_data = true};
}

std::vector<std::uint8_t> header_bytes(const WavHeader& header, Container container) {
  if (container == Container::raw) return {};
  return header.bytes();
}

// The pad byte belongs to the RIFF chunk: raw samples have none.
std::size_t pad_of(const WavHeader& header, Container container) {
  return container == Container::raw ? 0 : static_cast<std::size_t>(header.pad_size());
}

// Raw samples are the data chunk's bytes alone; a WAV file is all of it.
std::uint64_t size_of(const WavHeader& header, Container container) {
  return static_cast<std::uint64_t>(container == Container::raw ? header.data_size()
                                                                : header.file_size());
}

// Writes the header, `sample_bytes` bytes from `fill` and `pad` zero bytes
// through the sink, one block at a time.
template <class Fill>
std::optional<FileError> stream(std::span<const std::uint8_t> header, std::uint64_t sample_bytes,
                                std::size_t pad, Fill fill, Sink& sink) {
  std::vector<std::uint8_t> block(kBlockSize);
  std::copy(header.begin(), header.end(), block.begin());
  std::size_t filled = header.size();
  std::uint64_t left = sample_bytes;
  for (;;) {
    const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(left, kBlockSize - filled));
    fill(std::span(block).subspan(filled, take));
    filled += take;
    left -= take;
    if (left == 0 && filled + pad <= kBlockSize) {
      std::fill_n(block.begin() + filled, pad, 0);
      return sink.write(std::span(block).first(filled + pad));
    }
    if (auto failure = sink.write(std::span(block).first(filled))) return failure;
    filled = 0;
  }
}

}  // namespace

std::uint64_t wav_size(const TonePlan& plan, Container container) {
  return size_of(classic_header(plan), container);
}

std::uint64_t wav_size(const ShapedSound& sound, Container container) {
  return size_of(shaped_header(sound), container);
}

std::optional<FileError> write_wav(const TonePlan& plan, std::span<const std::uint8_t> units,
                                   Container container, Sink& sink) {
  const auto header = header_bytes(classic_header(plan), container);
  const auto samples = static_cast<std::uint64_t>(plan.sample_count);
  if (plan.sample_count <= kAccumulatedSamples) {
    ToneRenderer renderer(plan, units);
    return stream(
        header, samples, 0, [&](auto out) { renderer.fill(out); }, sink);
  }
  DriftFreeRenderer renderer(plan.unit_seconds, plan.tone_hz, units, plan.sample_count);
  return stream(
      header, samples, 0, [&](auto out) { renderer.fill(out); }, sink);
}

std::optional<FileError> write_wav(const ShapedSound& sound, Container container, Sink& sink) {
  const WavHeader wav = shaped_header(sound);
  const auto header = header_bytes(wav, container);
  ShapedRenderer renderer(sound);
  return stream(
      header, static_cast<std::uint64_t>(wav.data_size()), pad_of(wav, container),
      [&](auto out) { renderer.fill(out); }, sink);
}

}  // namespace zarn
