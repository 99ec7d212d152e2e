#include "encode/vorbis.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <new>
#include <stdexcept>

#include "encode/ogg_writer.h"
#include "encode/vorbis_comment.h"

namespace zarn {
namespace {

// The managed peak: twice the average, which keeps the file's size bounded.
constexpr int kPeakOverAverage = 2;
constexpr int kHighestKbps = 500;

bool codes(int rate, int kbps) {
  vorbis_info info;
  vorbis_info_init(&info);
  const int result =
      vorbis_encode_setup_managed(&info, 1, rate, kPeakOverAverage * kbps * 1000, kbps * 1000, -1);
  vorbis_info_clear(&info);
  return result == 0;
}

class Vorbis final : public Codec {
 public:
  explicit Vorbis(const CodecSettings& s) {
    vorbis_info_init(&info_);
    vorbis_comment_init(&comment_);
    if (vorbis_encode_init(&info_, 1, s.rate, kPeakOverAverage * s.kbps * 1000, s.kbps * 1000,
                           -1) != 0) {
      clear_info();
      throw std::logic_error("libvorbis refused its settings");
    }
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
  ~Vorbis() override {
    vorbis_block_clear(&block_);
    vorbis_dsp_clear(&dsp_);
    clear_info();
  }
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
  void drain(std::vector<std::uint8_t>& out) {
    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
      vorbis_analysis(&block_, nullptr);
      vorbis_bitrate_addblock(&block_);
      while (vorbis_bitrate_flushpacket(&dsp_, &packet) == 1) ogg_.packet(packet);
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

  vorbis_info info_;
  vorbis_comment comment_;
  vorbis_dsp_state dsp_;
  vorbis_block block_;
  OggWriter ogg_;
  std::vector<std::uint8_t> head_;
};

}  // namespace

std::optional<KbpsRange> vorbis_kbps(int rate) {
  std::optional<KbpsRange> range;
  for (int kbps = 1; kbps <= kHighestKbps; ++kbps) {
    if (!codes(rate, kbps)) continue;
    if (!range) range = KbpsRange{kbps, kbps};
    range->high = kbps;
  }
  return range;
}

int vorbis_chosen_kbps(int rate, int kbps) {
  if (kbps != 0) return kbps;
  const auto range = vorbis_kbps(rate);
  if (!range) return kVorbisDefaultKbps;
  return std::clamp(kVorbisDefaultKbps, range->low, range->high);
}

std::unique_ptr<Codec> make_vorbis(const CodecSettings& settings) {
  return std::make_unique<Vorbis>(settings);
}

// The managed peak over the whole length, with a reservoir's worth more and
// room for the headers (the codebooks are a few kilobytes).
std::uint64_t vorbis_size_bound(const CodecSettings& s) {
  constexpr std::uint64_t kHeaders = 64 * 1024;
  const std::uint64_t peak_bytes_a_second =
      static_cast<std::uint64_t>(kPeakOverAverage * s.kbps) * 1000 / 8;
  const std::uint64_t seconds = static_cast<std::uint64_t>(s.samples) / s.rate + 4;
  std::uint64_t tags = 0;
  for (const auto& text : vorbis_comments(*s.tags)) tags += 4 + text.size();
  return seconds * peak_bytes_a_second * 11 / 10 + kHeaders + tags;
}

}  // namespace zarn
