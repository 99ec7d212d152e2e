#include "sound/stream.h"

#include <algorithm>
#include <cstring>

#include "encode/codec.h"
#include "render/classic/tone_renderer.h"
#include "sound/info_chunk.h"

namespace zarn {
namespace {

// A typical identification goes out in one write of a small block; a long
// sound in blocks of 1 MiB, which a file system takes at a quarter of the
// cost of 64 KiB ones (ext4: an hour of 8 kHz s16 in 12 ms against 32), and
// never in more memory than that. Even, so that two-byte samples never
// straddle blocks.
constexpr std::size_t kSmallBlockBytes = 64 * 1024;
constexpr std::size_t kLargeBlockBytes = 1024 * 1024;

std::size_t block_bytes_for(std::uint64_t file_size) {
  return file_size > kSmallBlockBytes ? kLargeBlockBytes : kSmallBlockBytes;
}

class AccumulatedSamples final : public SoundStream::Samples {
 public:
  AccumulatedSamples(const ClassicTone& tone, std::span<const std::uint8_t> units)
      : renderer_(tone, units) {}
  void fill(std::span<std::uint8_t> out) override { renderer_.fill(out); }

 private:
  ToneRenderer renderer_;
};

// A piece rendered whole, for a coder whose frames span runs or for band
// conditions, whose noise fills the silences: silent runs become zeros, the
// conditions take the signal run by run (a fade computes nothing over
// silence) and then add what sounds across the whole piece.
void render_whole(KeyedRenderer& renderer, std::optional<Conditions>& conditions,
                  std::span<double> values) {
  renderer.render(values, [&](std::size_t first, std::size_t count, bool sounding) {
    const std::span<double> run = values.subspan(first, count);
    if (!sounding) std::fill(run.begin(), run.end(), 0.0);
    if (conditions) conditions->take_signal(run, sounding);
  });
  if (conditions) conditions->add_band(values);
}

// The keyed renderer's values, a piece at a time, through the encoder.
class KeyedSamples final : public SoundStream::Samples {
 public:
  KeyedSamples(const KeyedSound& sound, const SoundPlan& plan)
      : renderer_(sound.tone, key_schedule_for(sound, plan.units, plan.changes)),
        encoder_(plan.format.encoding, plan.format.container == Container::wav),
        values_(std::make_unique<Oscillator::Block>()) {
    if (plan.conditions) conditions_.emplace(*plan.conditions);
  }

  void fill(std::span<std::uint8_t> out) override {
    constexpr std::size_t kPiece = Oscillator::kBlockSamples;
    const auto frame_samples = static_cast<std::size_t>(encoder_.frame().samples);
    const auto frame_bytes = static_cast<std::size_t>(encoder_.frame().bytes);
    while (!out.empty()) {
      // Pieces end where the oscillator's blocks do, so that whole blocks
      // take its fastest path, straight into values_; and at whole frames.
      std::size_t count =
          std::min(out.size() / frame_bytes * frame_samples, kPiece - position_ % kPiece);
      count = std::max(count - count % frame_samples, frame_samples);
      position_ += count;
      const std::span<double> values(values_->values.data(), count);
      const std::span<std::uint8_t> bytes = out.first(count / frame_samples * frame_bytes);
      if (frame_samples == 1 && !conditions_) {
        encode_runs(values, bytes, frame_bytes);
      } else {
        encode_frames(values, bytes);
      }
      out = out.subspan(bytes.size());
    }
  }

 private:
  // Run by run: silence is written directly, never computed.
  void encode_runs(std::span<double> values, std::span<std::uint8_t> bytes, std::size_t width) {
    renderer_.render(values, [&](std::size_t first, std::size_t count, bool sounding) {
      const auto run = bytes.subspan(first * width, count * width);
      if (sounding) {
        encoder_.encode(values.subspan(first, count), run);
      } else {
        encoder_.silence(run);
      }
    });
  }

  // Frames span runs, and noise fills silence: silent runs become zeros and
  // the piece is coded whole.
  void encode_frames(std::span<double> values, std::span<std::uint8_t> bytes) {
    render_whole(renderer_, conditions_, values);
    encoder_.encode(values, bytes);
  }

  KeyedRenderer renderer_;
  std::optional<Conditions> conditions_;
  Encoder encoder_;
  std::unique_ptr<Oscillator::Block> values_;
  std::size_t position_ = 0;  // samples written
};

std::unique_ptr<SoundStream::Samples> samples_for(const SoundPlan& plan) {
  if (is_coded(plan.format.encoding)) return nullptr;
  if (const auto* classic = std::get_if<AccumulatedClassic>(&plan.renderer)) {
    return std::make_unique<AccumulatedSamples>(classic->tone, plan.units);
  }
  return std::make_unique<KeyedSamples>(std::get<KeyedSound>(plan.renderer), plan);
}

}  // namespace

// The keyed renderer's values as 16-bit levels through a codec, which gives
// what bytes it has after each piece: a block's length varies, its memory
// does not.
class SoundStream::Coded {
 public:
  Coded(const SoundPlan& plan)
      : renderer_(std::get<KeyedSound>(plan.renderer).tone,
                  key_schedule_for(std::get<KeyedSound>(plan.renderer), plan.units, plan.changes)),
        codec_(make_codec({plan.format.encoding, plan.format.sample_rate, plan.format.kbps,
                           plan.sample_count, &plan.tags})),
        values_(std::make_unique<Oscillator::Block>()),
        levels_(Oscillator::kBlockSamples),
        left_(plan.sample_count) {
    if (plan.conditions) conditions_.emplace(*plan.conditions);
    bytes_.reserve(kSmallBlockBytes);
  }

  std::span<const std::uint8_t> next() {
    bytes_.clear();
    while (bytes_.empty() && !done_) {
      if (left_ == 0) {
        codec_->finish(bytes_);
        done_ = true;
        break;
      }
      code_piece();
    }
    return bytes_;
  }

 private:
  void code_piece() {
    constexpr std::size_t kPiece = Oscillator::kBlockSamples;
    const auto count = static_cast<std::size_t>(std::min<std::int64_t>(left_, kPiece));
    const std::span<double> values(values_->values.data(), count);
    render_whole(renderer_, conditions_, values);
    const std::span<std::int16_t> levels(levels_.data(), count);
    std::transform(values.begin(), values.end(), levels.begin(), s16_level);
    codec_->code(levels, bytes_);
    left_ -= static_cast<std::int64_t>(count);
  }

  KeyedRenderer renderer_;
  std::optional<Conditions> conditions_;
  std::unique_ptr<Codec> codec_;
  std::unique_ptr<Oscillator::Block> values_;
  std::vector<std::int16_t> levels_;
  std::vector<std::uint8_t> bytes_;
  std::int64_t left_;  // samples still to render
  bool done_ = false;
};

SoundStream::SoundStream(const SoundPlan& plan)
    : size_(planned_bytes(plan)),
      header_(plan.format.header(plan.sample_count, info_chunk(plan.tags))),
      sample_bytes_left_(static_cast<std::uint64_t>(plan.format.data_size(plan.sample_count))),
      frame_bytes_(static_cast<std::size_t>(plan.format.frame().bytes)),
      samples_(samples_for(plan)),
      block_bytes_(is_coded(plan.format.encoding) ? 0 : block_bytes_for(size_)),
      block_(new std::uint8_t[block_bytes_]),
      coded_(is_coded(plan.format.encoding) ? std::make_unique<Coded>(plan) : nullptr) {}

SoundStream::~SoundStream() = default;

std::span<const std::uint8_t> SoundStream::next() {
  if (coded_) return coded_->next();
  std::size_t filled = header_.size();
  const std::span block(block_.get(), block_bytes_);
  std::copy(header_.begin(), header_.end(), block.begin());
  header_.clear();
  const std::size_t room = block_bytes_ - filled;
  const auto take = static_cast<std::size_t>(
      std::min<std::uint64_t>(sample_bytes_left_, room - room % frame_bytes_));
  samples_->fill(block.subspan(filled, take));
  filled += take;
  sample_bytes_left_ -= take;
  return block.first(filled);
}

}  // namespace zarn
