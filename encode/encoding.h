// How a sample value in [-1, 1] becomes the bytes of the sound file.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace zarn {

// gsm is GSM 06.10, coded in frames of 160 samples rather than one sample at
// a time; mp3 to flac are coded from s16 levels into their own containers
// (encode/codec.h).
enum class Encoding { u8, s16, ulaw, alaw, gsm, mp3, vorbis, opus, flac };

inline constexpr bool is_coded(Encoding encoding) {
  return encoding >= Encoding::mp3;
}

// The sample byte of silence: 8-bit WAV samples are unsigned around 128.
inline constexpr std::uint8_t kSilence = 128;

// As the command line names them, in the order of Encoding.
inline constexpr std::array<std::string_view, 9> kEncodingNames = {
    "u8", "s16", "ulaw", "alaw", "gsm", "mp3", "vorbis", "opus", "flac"};
inline std::string_view encoding_name(Encoding encoding) {
  return kEncodingNames[static_cast<std::size_t>(encoding)];
}

// 2 for s16 and the levels the codecs take, 1 for the others.
int bytes_per_sample(Encoding encoding);

// Every byte of an encoded zero sample: the file's silence, written with
// memset (s16 silence is two zero bytes).
std::uint8_t silence_byte(Encoding encoding);

// The smallest value v > 0 whose sample is heard: below it the rounded level
// (or the G.711 code's level) is silence.
double quietest_value(Encoding encoding);

// 128 + 127 v, the 127 v rounded half away from zero so that the levels lie
// symmetrically around 128. v is clamped to [-1, 1]; a NaN gives full scale.
std::uint8_t u8_level(double v);
// 32767 v rounded half away from zero, clamped and treated as u8_level's.
std::int16_t s16_level(double v);

// ITU G.711 codes of a 16-bit sample. A negative sample s is coded as the
// magnitude ~s = -s - 1, so the code table is an exact mirror image and
// -32768 needs no exception.
std::uint8_t ulaw_code(std::int16_t sample);
std::uint8_t alaw_code(std::int16_t sample);

// Encodes every value into out, bytes_per_sample(encoding) bytes each:
// u8_level or s16_level of it, s16 little-endian, or the mu-law or A-law code
// of its s16_level. out.size() must be values.size() * bytes_per_sample.
void encode_samples(Encoding encoding, std::span<const double> values, std::span<std::uint8_t> out);

}  // namespace zarn
