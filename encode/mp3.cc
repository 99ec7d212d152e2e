#include "encode/mp3.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdarg>
#include <new>
#include <stdexcept>

#include "encode/id3.h"

namespace zarn {
namespace {

// Pure tones need none of the slower psychoacoustic search.
constexpr int kLameQuality = 7;
// LAME's Info frame after the side information: the Xing part and LAME's own.
constexpr int kXingBytes = 120;
constexpr int kLameBytes = 36;
// The padding is never below this: the decoder's own delay must fit in it.
constexpr int kLeastPadding = 576;

bool is_mpeg1(int rate) {
  return rate >= kMp3Mpeg1Lowest;
}
int frame_samples(int rate) {
  return is_mpeg1(rate) ? 1152 : 576;
}
int side_info_bytes(int rate) {
  return is_mpeg1(rate) ? 17 : 9;
}
int frame_bytes(int rate, int kbps) {
  return (is_mpeg1(rate) ? 144000 : 72000) * kbps / rate;
}

// The frame header of a mono layer III frame without CRC and without padding.
std::array<std::uint8_t, 4> frame_header(int rate, int kbps) {
  const int version = is_mpeg1(rate) ? 3 : rate >= 16000 ? 2 : 0;  // 1.0, 2.0, 2.5
  const auto& table = is_mpeg1(rate) ? kMp3Mpeg1Kbps : kMp3Mpeg2Kbps;
  const auto bitrate_index = std::find(table.begin(), table.end(), kbps) - table.begin() + 1;
  // 44100, 22050 and 11025 are index 0, 48000 24000 12000 index 1, the rest 2.
  const int base = rate % 11025 == 0 ? 0 : rate % 12000 == 0 ? 1 : 2;
  return {0xFF, static_cast<std::uint8_t>(0xE0 | version << 3 | 0x02 | 0x01),
          static_cast<std::uint8_t>(bitrate_index << 4 | base << 2), 0xC4};
}

void put_u32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// CRC-16 with LAME's polynomial (0x8005, reflected), as decoders check it.
std::uint16_t lame_crc(const std::uint8_t* bytes, std::size_t size) {
  std::uint16_t crc = 0;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = crc & 1 ? (crc >> 1) ^ 0xA001 : crc >> 1;
  }
  return static_cast<std::uint16_t>(crc);
}

// The bitrate of the Info frame: the sound's, or the least that holds it.
int info_kbps(int rate, int kbps) {
  const int needed = 4 + side_info_bytes(rate) + kXingBytes + kLameBytes;
  if (frame_bytes(rate, kbps) >= needed) return kbps;
  for (int candidate : is_mpeg1(rate) ? kMp3Mpeg1Kbps : kMp3Mpeg2Kbps) {
    if (frame_bytes(rate, candidate) >= needed) return candidate;
  }
  return kbps;  // every rate's largest frame holds it
}

struct Layout {
  int delay;
  int padding;
  std::int64_t frames;
};

// What LAME will do with `samples`: it pads the encoder's delay and the
// samples to whole frames, keeping at least kLeastPadding after them.
Layout layout(std::int64_t samples, int rate, int delay) {
  const int size = frame_samples(rate);
  const std::int64_t coded = delay + samples;
  int padding = size - static_cast<int>(coded % size);
  if (padding < kLeastPadding) padding += size;
  return {delay, padding, (coded + padding) / size};
}

// The Info frame, for a constant bitrate: frame and byte counts, a linear
// table of contents, and LAME's delay and padding.
std::vector<std::uint8_t> info_frame(const CodecSettings& s, const Layout& l, int lowpass) {
  const int kbps = info_kbps(s.rate, s.kbps);
  std::vector<std::uint8_t> frame(static_cast<std::size_t>(frame_bytes(s.rate, kbps)), 0);
  const auto header = frame_header(s.rate, kbps);
  std::copy(header.begin(), header.end(), frame.begin());
  std::uint8_t* x = frame.data() + 4 + side_info_bytes(s.rate);
  const auto audio_bytes = static_cast<std::uint64_t>(l.frames) * frame_bytes(s.rate, s.kbps);
  const auto total =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(audio_bytes + frame.size(), UINT32_MAX));
  std::copy_n("Info", 4, x);
  put_u32(x + 4, 0x0F);  // frames, bytes, table of contents, quality
  put_u32(x + 8, static_cast<std::uint32_t>(l.frames));
  put_u32(x + 12, total);
  for (int i = 0; i < 100; ++i) x[16 + i] = static_cast<std::uint8_t>(i * 256 / 100);
  std::uint8_t* lame = x + kXingBytes;
  std::copy_n("LAME3.100", 9, lame);
  lame[9] = 0x01;  // tag revision 0, constant bitrate
  lame[10] = static_cast<std::uint8_t>(std::min(lowpass / 100, 255));
  lame[20] = static_cast<std::uint8_t>(std::min(s.kbps, 255));
  lame[21] = static_cast<std::uint8_t>(l.delay >> 4);
  lame[22] = static_cast<std::uint8_t>((l.delay & 0x0F) << 4 | l.padding >> 8);
  lame[23] = static_cast<std::uint8_t>(l.padding & 0xFF);
  put_u32(lame + 28, total);
  // The music's CRC (lame + 32) would need every frame first: left 0,
  // which decoders do not check.
  const auto crc_at = static_cast<std::size_t>(lame + 34 - frame.data());
  const std::uint16_t crc = lame_crc(frame.data(), crc_at);
  frame[crc_at] = static_cast<std::uint8_t>(crc >> 8);
  frame[crc_at + 1] = static_cast<std::uint8_t>(crc & 0xFF);
  return frame;
}

// LAME reports to standard error unless told otherwise; nothing below the
// front ends prints.
void quiet(const char*, va_list) {}

class Mp3 final : public Codec {
 public:
  explicit Mp3(CodecSettings s) : lame_(lame_init()) {
    if (lame_ == nullptr) throw std::bad_alloc();
    // A constructor that throws runs no destructor.
    try {
      set_up(s);
    } catch (...) {
      lame_close(lame_);
      throw;
    }
  }
  ~Mp3() override { lame_close(lame_); }
  Mp3(const Mp3&) = delete;

  Mp3& operator=(const Mp3&) = delete;

  void code(std::span<const std::int16_t> levels, std::vector<std::uint8_t>& out) override {
    take_head(out);
    // LAME's own bound on what a call can give.
    const std::size_t room = levels.size() * 5 / 4 + 7200;
    const std::size_t at = out.size();
    out.resize(at + room);
    auto* pcm = const_cast<short*>(levels.data());  // LAME only reads it
    const int n = lame_encode_buffer(lame_, pcm, pcm, static_cast<int>(levels.size()),
                                     out.data() + at, static_cast<int>(room));
    if (n < 0) throw std::runtime_error("LAME failed");
    out.resize(at + static_cast<std::size_t>(n));
  }

  void finish(std::vector<std::uint8_t>& out) override {
    take_head(out);
    constexpr std::size_t kRoom = 7200;
    const std::size_t at = out.size();
    out.resize(at + kRoom);
    const int n = lame_encode_flush(lame_, out.data() + at, static_cast<int>(kRoom));
    if (n < 0) throw std::runtime_error("LAME failed");
    out.resize(at + static_cast<std::size_t>(n));
  }

 private:
  void set_up(CodecSettings s) {
    lame_set_errorf(lame_, quiet);
    lame_set_debugf(lame_, quiet);
    lame_set_msgf(lame_, quiet);
    lame_set_num_channels(lame_, 1);
    lame_set_mode(lame_, MONO);
    lame_set_in_samplerate(lame_, s.rate);
    lame_set_out_samplerate(lame_, s.rate);
    lame_set_VBR(lame_, vbr_off);
    lame_set_brate(lame_, s.kbps);
    lame_set_quality(lame_, kLameQuality);
    lame_set_bWriteVbrTag(lame_, 0);  // written here, before the first frame
    lame_set_write_id3tag_automatic(lame_, 0);
    if (lame_init_params(lame_) < 0) throw std::logic_error("LAME refused its settings");
    // The Info frame states the frames LAME writes.
    s.kbps = lame_get_brate(lame_);
    const Layout l = layout(s.samples, s.rate, lame_get_encoder_delay(lame_));
    head_ = id3_tag(*s.tags);
    const auto info = info_frame(s, l, lame_get_lowpassfreq(lame_));
    head_.insert(head_.end(), info.begin(), info.end());
  }

  void take_head(std::vector<std::uint8_t>& out) {
    out.insert(out.end(), head_.begin(), head_.end());
    head_.clear();
  }

  lame_t lame_;
  std::vector<std::uint8_t> head_;  // the tag and the Info frame, until the first bytes
};

}  // namespace

std::unique_ptr<Codec> make_mp3(const CodecSettings& settings) {
  return std::make_unique<Mp3>(settings);
}

std::uint64_t mp3_size_bound(const CodecSettings& s) {
  constexpr std::uint64_t kLargestFrame = 1441;
  const auto size = static_cast<std::uint64_t>(frame_samples(s.rate));
  const std::uint64_t frames = (static_cast<std::uint64_t>(s.samples) + 2 * size + 2 * 576) / size;
  return frames * static_cast<std::uint64_t>(frame_bytes(s.rate, s.kbps) + 1) + kLargestFrame +
         id3_tag(*s.tags).size();
}

}  // namespace zarn
