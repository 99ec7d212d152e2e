#include "encode/encoder.h"

#include <algorithm>
#include <cstring>

namespace zarn {
namespace {

// GSM levels are coded this many at a time: whole frames and whole blocks.
constexpr std::size_t kLevelsAtOnce = 10 * kGsmWavBlockSamples;

}  // namespace

Frame frame_of(Encoding encoding, bool wav) {
  if (encoding != Encoding::gsm) return {1, bytes_per_sample(encoding)};
  return wav ? Frame{kGsmWavBlockSamples, kGsmWavBlockBytes}
             : Frame{kGsmFrameSamples, kGsmFrameBytes};
}

Encoder::Encoder(Encoding encoding, bool wav)
    : encoding_(encoding), frame_(frame_of(encoding, wav)) {
  if (encoding == Encoding::gsm) {
    gsm_ = std::make_unique<GsmCoder>(wav);
    levels_.resize(kLevelsAtOnce);
  }
}

void Encoder::encode(std::span<const double> values, std::span<std::uint8_t> out) {
  if (!gsm_) return encode_samples(encoding_, values, out);
  const auto frame_samples = static_cast<std::size_t>(frame_.samples);
  const auto frame_bytes = static_cast<std::size_t>(frame_.bytes);
  for (std::size_t done = 0; done < values.size(); done += kLevelsAtOnce) {
    const auto piece = values.subspan(done, std::min(kLevelsAtOnce, values.size() - done));
    const std::span<std::int16_t> levels(levels_.data(), piece.size());
    std::transform(piece.begin(), piece.end(), levels.begin(), s16_level);
    // kLevelsAtOnce is whole frames, so `done` is too.
    gsm_->code(levels, out.subspan(done / frame_samples * frame_bytes));
  }
}

void Encoder::silence(std::span<std::uint8_t> out) const {
  std::memset(out.data(), silence_byte(encoding_), out.size());
}

}  // namespace zarn
