#include "encode/codec.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "encode/mp3.h"
#include "encode/opus.h"

#ifdef ZARN_HAVE_COMPRESSED
#include "encode/flac.h"
#include "encode/vorbis.h"
#endif

namespace zarn {

int default_rate(Encoding encoding) {
  switch (encoding) {
    case Encoding::mp3:
      return 22050;
    case Encoding::vorbis:
    case Encoding::opus:
      return 16000;
    default:
      return 11025;
  }
}

int default_kbps(Encoding encoding) {
  switch (encoding) {
    case Encoding::mp3:
      return kMp3DefaultKbps;
    case Encoding::opus:
      return kOpusDefaultKbps;
    default:
      return 0;
  }
}

#ifdef ZARN_HAVE_COMPRESSED
namespace {

template <std::size_t N>
bool holds(const std::array<int, N>& values, int value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

// "8000, 12000 or 48000": how a refusal lists what is taken.
template <std::size_t N>
std::string listed(const std::array<int, N>& values) {
  std::string text;
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) text += i + 1 == N ? " or " : ", ";
    text += std::to_string(values[i]);
  }
  return text;
}

std::string range(int low, int high) {
  return "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
}

// MPEG-1's bitrates, MPEG-2's, or as many of MPEG-2's as LAME takes at
// the MPEG 2.5 rates.
std::string mp3_bitrates(int rate) {
  if (rate >= kMp3Mpeg1Lowest) return listed(kMp3Mpeg1Kbps);
  if (rate >= 16000) return listed(kMp3Mpeg2Kbps);
  std::array<int, 8> mpeg25{};
  std::copy_n(kMp3Mpeg2Kbps.begin(), mpeg25.size(), mpeg25.begin());
  return listed(mpeg25);
}

std::optional<CodecRule> mp3_refusal(int rate, int kbps) {
  if (!holds(kMp3Rates, rate)) return CodecRule{CodecRule::What::rate, listed(kMp3Rates) + " Hz"};
  const bool mpeg1 = rate >= kMp3Mpeg1Lowest;
  const bool taken = holds(mpeg1 ? kMp3Mpeg1Kbps : kMp3Mpeg2Kbps, kbps) &&
                     (rate >= 16000 || kbps <= kMp3Mpeg25Highest);
  if (kbps == 0 || taken) return std::nullopt;
  return CodecRule{CodecRule::What::bitrate,
                   "a bitrate mp3 takes at " + std::to_string(rate) + " Hz: " + mp3_bitrates(rate)};
}

std::optional<CodecRule> opus_refusal(int rate, int kbps) {
  if (!holds(kOpusRates, rate)) return CodecRule{CodecRule::What::rate, listed(kOpusRates) + " Hz"};
  if (kbps == 0 || (kbps >= kOpusKbps.low && kbps <= kOpusKbps.high)) return std::nullopt;
  return CodecRule{CodecRule::What::bitrate, range(kOpusKbps.low, kOpusKbps.high)};
}

std::optional<CodecRule> vorbis_refusal(int rate, int kbps) {
  if (kbps == 0) return std::nullopt;
  const auto taken = vorbis_kbps(rate);
  if (!taken) {
    return CodecRule{
        CodecRule::What::bitrate,
        "taken at " + std::to_string(rate) + " Hz, where vorbis codes at quality 0 without one"};
  }
  if (kbps >= taken->low && kbps <= taken->high) return std::nullopt;
  return CodecRule{CodecRule::What::bitrate, "a bitrate vorbis takes at " + std::to_string(rate) +
                                                 " Hz: " + range(taken->low, taken->high)};
}

// The settings with each default filled in.
CodecSettings chosen(const CodecSettings& settings) {
  CodecSettings s = settings;
  // Vorbis codes at quality 0 when no bitrate is asked for.
  if (s.kbps == 0 && s.encoding != Encoding::vorbis) s.kbps = default_kbps(s.encoding);
  return s;
}

}  // namespace

std::optional<CodecRule> codec_refusal(Encoding encoding, int rate, int kbps) {
  switch (encoding) {
    case Encoding::mp3:
      return mp3_refusal(rate, kbps);
    case Encoding::opus:
      return opus_refusal(rate, kbps);
    case Encoding::vorbis:
      return vorbis_refusal(rate, kbps);
    default:
      return std::nullopt;
  }
}

std::unique_ptr<Codec> make_codec(const CodecSettings& settings) {
  const CodecSettings s = chosen(settings);
  switch (s.encoding) {
    case Encoding::mp3:
      return make_mp3(s);
    case Encoding::vorbis:
      return make_vorbis(s);
    case Encoding::opus:
      return make_opus(s);
    default:
      return make_flac(s);
  }
}

std::uint64_t coded_size_bound(const CodecSettings& settings) {
  const CodecSettings s = chosen(settings);
  switch (s.encoding) {
    case Encoding::mp3:
      return mp3_size_bound(s);
    case Encoding::vorbis:
      return vorbis_size_bound(s);
    case Encoding::opus:
      return opus_size_bound(s);
    default:
      return flac_size_bound(s);
  }
}

#else

// A build without the codecs (the web page's): the option reader and the
// setters refuse these encodings, so none of this runs.
std::optional<CodecRule> codec_refusal(Encoding, int, int) {
  return std::nullopt;
}
std::unique_ptr<Codec> make_codec(const CodecSettings&) {
  throw std::logic_error("this build has no compressed encodings");
}
std::uint64_t coded_size_bound(const CodecSettings&) {
  return 0;
}

#endif

}  // namespace zarn
