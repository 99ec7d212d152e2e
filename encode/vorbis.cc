#include "encode/vorbis.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>

#include "encode/ogg_writer.h"
#include "encode/vorbis_comment.h"

namespace zarn {
namespace {

// libvorbis's qualities, lowest to highest. Coding at a quality is three
// times as fast as its bitrate management, which a pure tone does not need.
constexpr float kLowestQuality = -0.1f;
constexpr float kHighestQuality = 1.0f;

// The bitrate libvorbis states for a quality at a rate, in kbps; 0 where
// it codes none.
double nominal_kbps(int rate, float quality) {
  vorbis_info info;
  vorbis_info_init(&info);
  const bool set = vorbis_encode_init_vbr(&info, 1, rate, quality) == 0;
  const double kbps = set ? static_cast<double>(info.bitrate_nominal) / 1000 : 0;
  vorbis_info_clear(&info);
  return kbps;
}

// The quality whose stated bitrate is `kbps`, found by halving, as it rises
// with the quality; quality 0 for the default.
float quality_for(int rate, int kbps) {
  if (kbps == 0) return 0;
  float low = kLowestQuality, high = kHighestQuality;
  for (int step = 0; step < 20; ++step) {
    const float middle = (low + high) / 2;
    (nominal_kbps(rate, middle) < kbps ? low : high) = middle;
  }
  return (low + high) / 2;
}

class Vorbis final : public Codec {
 public:
  explicit Vorbis(const CodecSettings& s) {
    vorbis_info_init(&info_);
    vorbis_comment_init(&comment_);
    if (vorbis_encode_init_vbr(&info_, 1, s.rate, quality_for(s.rate, s.kbps)) != 0) {
      clear_info();
      throw std::logic_error("libvorbis refused its settings");
    }
    // A constructor that throws runs no destructor.
    try {
      set_up(s);
    } catch (...) {
      release();
      throw;
    }
  }
  ~Vorbis() override { release(); }
  Vorbis(const Vorbis&) = delete;
  Vorbis& operator=(const Vorbis&) = delete;

  void code(std::span<const std::int16_t> levels, std::vector<std::uint8_t>& out) override {
    take_head(out);
    float** buffer = vorbis_analysis_buffer(&dsp_, static_cast<int>(levels.size()));
    std::transform(levels.begin(), levels.end(), buffer[0],
                   [](std::int16_t level) { return static_cast<float>(level) / 32768.0f; });
    vorbis_analysis_wrote(&dsp_, static_cast<int>(levels.size()));
    drain(out);
  }

  void finish(std::vector<std::uint8_t>& out) override {
    take_head(out);
    vorbis_analysis_wrote(&dsp_, 0);  // the end: libvorbis sets the last granule
    drain(out);
    ogg_.pages(out, true);
  }

 private:
  void set_up(const CodecSettings& s) {
    for (const auto& text : vorbis_comments(*s.tags)) {
      vorbis_comment_add(&comment_, text.c_str());
    }
    vorbis_analysis_init(&dsp_, &info_);
    vorbis_block_init(&dsp_, &block_);
    ogg_packet header, comments, books;
    vorbis_analysis_headerout(&dsp_, &comment_, &header, &comments, &books);
    // The identification header on a page of its own, audio from a fresh page.
    ogg_.packet(header);
    ogg_.pages(head_, true);
    ogg_.packet(comments);
    ogg_.packet(books);
    ogg_.pages(head_, true);
  }

  // Each clear takes a state zeroed and never set up, so a failed start
  // frees what it had.
  void release() {
    vorbis_block_clear(&block_);
    vorbis_dsp_clear(&dsp_);
    clear_info();
  }

  void drain(std::vector<std::uint8_t>& out) {
    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
      vorbis_analysis(&block_, nullptr);
      vorbis_bitrate_addblock(&block_);
      while (vorbis_bitrate_flushpacket(&dsp_, &packet) == 1) {
        ogg_.packet(packet);
        // The first audio packet on a page of its own: a decoder that finds
        // the whole sound on the last page cannot tell where it ends
        // (ffmpeg then keeps the last packet's every sample).
        if (first_) ogg_.pages(out, true);
        first_ = false;
      }
    }
    ogg_.pages(out);
  }

  void take_head(std::vector<std::uint8_t>& out) {
    out.insert(out.end(), head_.begin(), head_.end());
    head_.clear();
  }

  void clear_info() {
    vorbis_comment_clear(&comment_);
    vorbis_info_clear(&info_);
  }

  vorbis_info info_{};
  vorbis_comment comment_{};
  vorbis_dsp_state dsp_{};
  vorbis_block block_{};
  OggWriter ogg_;
  std::vector<std::uint8_t> head_;
  bool first_ = true;
};

}  // namespace

std::optional<KbpsRange> vorbis_kbps(int rate) {
  const double low = nominal_kbps(rate, kLowestQuality);
  const double high = nominal_kbps(rate, kHighestQuality);
  if (!(low > 0 && high >= low)) return std::nullopt;
  return KbpsRange{static_cast<int>(std::ceil(low)), static_cast<int>(high)};
}

std::unique_ptr<Codec> make_vorbis(const CodecSettings& settings) {
  return std::make_unique<Vorbis>(settings);
}

// Coding at a quality has no hard peak, but even the highest quality of a
// mono sound stays well below its 16-bit samples; and room for the headers
// (the codebooks are a few kilobytes).
std::uint64_t vorbis_size_bound(const CodecSettings& s) {
  constexpr std::uint64_t kHeaders = 64 * 1024;
  std::uint64_t tags = 0;
  for (const auto& text : vorbis_comments(*s.tags)) tags += 4 + text.size();
  return 2 * static_cast<std::uint64_t>(s.samples) + kHeaders + tags;
}

}  // namespace zarn
