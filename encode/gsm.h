// GSM 06.10 full-rate coding of 16-bit samples: 160 samples make a 33-byte
// frame, or in a WAV file (WAVE_FORMAT_GSM610) two frames packed into 65
// bytes. Coding carries state from frame to frame.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace zarn {

#ifdef ZARN_HAVE_GSM
inline constexpr bool kGsmCoderBuilt = true;
#else
inline constexpr bool kGsmCoderBuilt = false;
#endif

// GSM 06.10 is defined at this rate only.
inline constexpr int kGsmRate = 8000;
inline constexpr int kGsmFrameSamples = 160;
inline constexpr int kGsmFrameBytes = 33;
inline constexpr int kGsmWavBlockSamples = 320;
inline constexpr int kGsmWavBlockBytes = 65;

class GsmCoder {
 public:
  explicit GsmCoder(bool wav_blocks);
  ~GsmCoder();
  GsmCoder(const GsmCoder&) = delete;
  GsmCoder& operator=(const GsmCoder&) = delete;

  // Codes whole frames (whole blocks in WAV) of `samples` into `out`; the
  // coder's interface may scratch on the samples.
  void code(std::span<std::int16_t> samples, std::span<std::uint8_t> out);

 private:
  struct State;
  std::unique_ptr<State> state_;
  [[maybe_unused]] bool wav_blocks_;  // unused where the build has no GSM
};

}  // namespace zarn
