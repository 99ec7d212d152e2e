#include "encode/opus.h"

#include <opus/opus.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string_view>

#include "encode/ogg_writer.h"
#include "encode/vorbis_comment.h"

namespace zarn {
namespace {

// Granule positions count at 48 kHz whatever the input rate.
constexpr int kGranuleRate = 48000;
constexpr int kFramesPerSecond = 50;  // 20 ms packets
// A tone needs far less than the search at the top complexities.
constexpr int kComplexity = 3;
constexpr std::size_t kLargestPacket = 1275;

// A packet may take this many times its share of the bitrate, and no more,
// so that the file's size has a bound.
std::size_t packet_cap(int kbps) {
  const std::size_t share = static_cast<std::size_t>(kbps) * 1000 / 8 / kFramesPerSecond;
  return std::min(kLargestPacket, std::max<std::size_t>(4 * share, 128));
}

void put_le(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void put_string(std::vector<std::uint8_t>& out, std::string_view text) {
  put_le(out, static_cast<std::uint32_t>(text.size()), 4);
  out.insert(out.end(), text.begin(), text.end());
}

std::vector<std::uint8_t> opus_head(int rate, int pre_skip) {
  std::vector<std::uint8_t> head = {'O', 'p', 'u', 's', 'H', 'e', 'a', 'd', 1, 1};
  put_le(head, static_cast<std::uint32_t>(pre_skip), 2);
  put_le(head, static_cast<std::uint32_t>(rate), 4);  // the rate it was made at
  put_le(head, 0, 2);                                 // no output gain
  head.push_back(0);                                  // mono: no channel mapping table
  return head;
}

std::vector<std::uint8_t> opus_tags(const Tags& tags) {
  std::vector<std::uint8_t> out = {'O', 'p', 'u', 's', 'T', 'a', 'g', 's'};
  put_string(out, opus_get_version_string());
  const auto comments = vorbis_comments(tags);
  put_le(out, static_cast<std::uint32_t>(comments.size()), 4);
  for (const auto& comment : comments) put_string(out, comment);
  return out;
}

class Opus final : public Codec {
 public:
  explicit Opus(const CodecSettings& s)
      : frame_(static_cast<std::size_t>(s.rate / kFramesPerSecond)),
        scale_(kGranuleRate / s.rate),
        cap_(packet_cap(s.kbps)),
        packet_(cap_) {
    int error = 0;
    encoder_ = opus_encoder_create(s.rate, 1, OPUS_APPLICATION_AUDIO, &error);
    if (encoder_ == nullptr) throw std::bad_alloc();
    // A constructor that throws runs no destructor.
    try {
      set_up(s);
    } catch (...) {
      opus_encoder_destroy(encoder_);
      throw;
    }
  }
  ~Opus() override { opus_encoder_destroy(encoder_); }
  Opus(const Opus&) = delete;
  Opus& operator=(const Opus&) = delete;

  void code(std::span<const std::int16_t> levels, std::vector<std::uint8_t>& out) override {
    take_head(out);
    while (!levels.empty()) {
      const std::size_t take = std::min(frame_ - pending_.size(), levels.size());
      pending_.insert(pending_.end(), levels.begin(), levels.begin() + static_cast<long>(take));
      levels = levels.subspan(take);
      if (pending_.size() == frame_) encode_pending(false);
    }
    ogg_.pages(out);
  }

  void finish(std::vector<std::uint8_t>& out) override {
    take_head(out);
    // Zeros past the last sample until the lookahead is out, in whole packets.
    while (true) {
      const auto fill = static_cast<std::size_t>(
          std::min<std::int64_t>(left_, static_cast<std::int64_t>(frame_ - pending_.size())));
      pending_.insert(pending_.end(), fill, 0);
      left_ -= static_cast<std::int64_t>(fill);
      if (left_ <= 0) break;
      encode_pending(false);
    }
    pending_.resize(frame_, 0);
    encode_pending(true);
    ogg_.pages(out, true);
  }

 private:
  void set_up(const CodecSettings& s) {
    opus_encoder_ctl(encoder_, OPUS_SET_BITRATE(s.kbps * 1000));
    opus_encoder_ctl(encoder_, OPUS_SET_COMPLEXITY(kComplexity));
    opus_int32 lookahead = 0;
    opus_encoder_ctl(encoder_, OPUS_GET_LOOKAHEAD(&lookahead));
    pre_skip_ = lookahead * scale_;
    // The lookahead's samples come out after the last, so as many zeros follow it.
    left_ = static_cast<std::int64_t>(lookahead);
    end_granule_ = pre_skip_ + s.samples * scale_;
    pending_.reserve(frame_);
    ogg_.packet(opus_head(s.rate, static_cast<int>(pre_skip_)), 0);
    ogg_.pages(head_, true);
    ogg_.packet(opus_tags(*s.tags), 0);
    ogg_.pages(head_, true);
  }

  void encode_pending(bool last) {
    const int n = opus_encode(encoder_, pending_.data(), static_cast<int>(frame_), packet_.data(),
                              static_cast<opus_int32>(cap_));
    if (n < 0) throw std::runtime_error("libopus failed");
    granule_ += static_cast<std::int64_t>(frame_) * scale_;
    ogg_.packet(std::span(packet_).first(static_cast<std::size_t>(n)),
                last ? end_granule_ : granule_, last);
    pending_.clear();
  }

  void take_head(std::vector<std::uint8_t>& out) {
    out.insert(out.end(), head_.begin(), head_.end());
    head_.clear();
  }

  OpusEncoder* encoder_ = nullptr;
  std::size_t frame_;  // samples a packet
  std::int64_t scale_;
  std::size_t cap_;
  std::vector<unsigned char> packet_;
  std::vector<opus_int16> pending_;
  std::int64_t pre_skip_ = 0;
  std::int64_t left_ = 0;  // zeros still owed after the last sample
  std::int64_t granule_ = 0;
  std::int64_t end_granule_ = 0;
  OggWriter ogg_;
  std::vector<std::uint8_t> head_;
};

}  // namespace

std::unique_ptr<Codec> make_opus(const CodecSettings& settings) {
  return std::make_unique<Opus>(settings);
}

// Every packet at its cap, each on a page of its own, and both headers.
std::uint64_t opus_size_bound(const CodecSettings& s) {
  constexpr std::uint64_t kPageHeader = 27 + 255;
  const auto frame = static_cast<std::uint64_t>(s.rate / kFramesPerSecond);
  const std::uint64_t packets = (static_cast<std::uint64_t>(s.samples) + s.rate) / frame + 2;
  const std::uint64_t cap = packet_cap(s.kbps);
  return packets * (cap + cap / 255 + 1 + 27) + 2 * kPageHeader + opus_tags(*s.tags).size() + 64;
}

}  // namespace zarn
