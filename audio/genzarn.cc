#include <algorithm>
#include <cerrno>

#include "audio/audio.h"

namespace zarn {
namespace {

// Big enough that a typical identification goes out in one write, small
// enough that a long one never needs more memory than this.
constexpr std::size_t kBlockSize = 64 * 1024;

std::optional<FileError> write_wav(const Tone& tone, const Elements& elements,
                                   std::string_view filename_field, Sink& sink) {
  if (auto failure = sink.open(filename_field)) return failure;
  std::array<std::uint8_t, kBlockSize> block;
  const auto header = Hdr{tone.samples}.bytes();
  std::copy(header.begin(), header.end(), block.begin());
  std::size_t filled = header.size();
  std::size_t samples_left = static_cast<std::size_t>(tone.samples);
  Synth synth(tone, elements.used());
  for (;;) {
    const std::size_t take = std::min(samples_left, block.size() - filled);
    synth.fill(std::span(block).subspan(filled, take));
    filled += take;
    samples_left -= take;
    if (auto failure = sink.write(std::span(block).first(filled))) return failure;
    if (samples_left == 0) break;
    filled = 0;
  }
  return sink.close();
}

}  // namespace

std::optional<AudioFailure> genzarn(float wpm, const Elements& elements, float freq,
                                    std::string_view filename_field, Sink& sink) {
  const auto plan = plan_tone(wpm, freq, elements.count);
  if (const auto* refusal = std::get_if<ToneRefusal>(&plan)) return *refusal;
  if (auto failure = write_wav(std::get<Tone>(plan), elements, filename_field, sink)) {
    return *failure;
  }
  return std::nullopt;
}

std::optional<FileError> MemorySink::open(std::string_view field) {
  filename_field = field;
  bytes.clear();
  return std::nullopt;
}

std::optional<FileError> MemorySink::write(std::span<const std::uint8_t> b) {
  if (b.size() > limit - bytes.size()) return FileError{IoError::write_failure, EFBIG, "memory"};
  bytes.insert(bytes.end(), b.begin(), b.end());
  return std::nullopt;
}

}  // namespace zarn
