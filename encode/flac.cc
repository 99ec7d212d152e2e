#include "encode/flac.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_encoder.h>

#include <new>
#include <stdexcept>

#include "encode/vorbis_comment.h"

namespace zarn {
namespace {

// Level 5, libFLAC's default: keyed tones and silence pack well at it
// without the slower searches above.
constexpr unsigned kCompressionLevel = 5;
constexpr std::uint64_t kBlockSamples = 4096;  // level 5's block size

class Flac final : public Codec {
 public:
  // The stream's header is written as the encoder starts, into head_.
  explicit Flac(const CodecSettings& s) : encoder_(FLAC__stream_encoder_new()), out_(&head_) {
    if (encoder_ == nullptr) throw std::bad_alloc();
    // A constructor that throws runs no destructor.
    try {
      set_up(s);
    } catch (...) {
      release();
      throw;
    }
  }
  ~Flac() override { release(); }
  Flac(const Flac&) = delete;
  Flac& operator=(const Flac&) = delete;

  void code(std::span<const std::int16_t> levels, std::vector<std::uint8_t>& out) override {
    take_head(out);
    wide_.assign(levels.begin(), levels.end());
    if (!FLAC__stream_encoder_process_interleaved(encoder_, wide_.data(),
                                                  static_cast<unsigned>(wide_.size()))) {
      throw std::runtime_error("libFLAC failed");
    }
  }

  void finish(std::vector<std::uint8_t>& out) override {
    take_head(out);
    if (!FLAC__stream_encoder_finish(encoder_)) throw std::runtime_error("libFLAC failed");
  }

 private:
  void set_up(const CodecSettings& s) {
    FLAC__stream_encoder_set_channels(encoder_, 1);
    FLAC__stream_encoder_set_bits_per_sample(encoder_, 16);
    FLAC__stream_encoder_set_sample_rate(encoder_, static_cast<unsigned>(s.rate));
    FLAC__stream_encoder_set_compression_level(encoder_, kCompressionLevel);
    // Known in advance, so the stream's header holds the length without the
    // seek back that a pipe cannot take (and so leaves the MD5 unset).
    FLAC__stream_encoder_set_total_samples_estimate(encoder_, static_cast<FLAC__uint64>(s.samples));
    set_comments(*s.tags);
    const auto status =
        FLAC__stream_encoder_init_stream(encoder_, write, nullptr, nullptr, nullptr, this);
    if (status != FLAC__STREAM_ENCODER_INIT_STATUS_OK) throw std::logic_error("libFLAC refused");
  }

  void release() {
    FLAC__stream_encoder_delete(encoder_);
    if (comments_ != nullptr) FLAC__metadata_object_delete(comments_);
  }

  void take_head(std::vector<std::uint8_t>& out) {
    out.insert(out.end(), head_.begin(), head_.end());
    head_.clear();
    out_ = &out;
  }

  void set_comments(const Tags& tags) {
    const auto comments = vorbis_comments(tags);
    if (comments.empty()) return;
    comments_ = FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT);
    if (comments_ == nullptr) throw std::bad_alloc();
    for (const auto& text : comments) {
      FLAC__StreamMetadata_VorbisComment_Entry entry{
          static_cast<FLAC__uint32>(text.size()),
          reinterpret_cast<FLAC__byte*>(const_cast<char*>(text.data()))};
      if (!FLAC__metadata_object_vorbiscomment_append_comment(comments_, entry, true)) {
        throw std::bad_alloc();
      }
    }
    FLAC__stream_encoder_set_metadata(encoder_, &comments_, 1);
  }

  static FLAC__StreamEncoderWriteStatus write(const FLAC__StreamEncoder*, const FLAC__byte buffer[],
                                              size_t bytes, unsigned, unsigned, void* self) {
    auto& out = *static_cast<Flac*>(self)->out_;
    out.insert(out.end(), buffer, buffer + bytes);
    return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
  }

  FLAC__StreamEncoder* encoder_;
  FLAC__StreamMetadata* comments_ = nullptr;
  std::vector<FLAC__int32> wide_;  // libFLAC takes 32-bit samples
  std::vector<std::uint8_t> head_;
  std::vector<std::uint8_t>* out_;
};

}  // namespace

std::unique_ptr<Codec> make_flac(const CodecSettings& settings) {
  return std::make_unique<Flac>(settings);
}

// A frame stored verbatim: two bytes a sample, at most 16 bytes of header,
// a subframe header and the CRC; then the stream's header and its tags.
std::uint64_t flac_size_bound(const CodecSettings& s) {
  const auto samples = static_cast<std::uint64_t>(s.samples);
  const std::uint64_t frames = samples / kBlockSamples + 1;
  std::uint64_t tags = 0;
  for (const auto& text : vorbis_comments(*s.tags)) tags += 4 + text.size();
  return 2 * samples + 24 * frames + 4 + 42 + 256 + tags;
}

}  // namespace zarn
