// The encoder stage: sample values in [-1, 1] become the bytes of the file,
// a frame at a time. A frame is one sample, except for GSM.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "encode/encoding.h"
#include "encode/gsm.h"

namespace zarn {

struct Frame {
  int samples;
  int bytes;
};

// `wav`: GSM in a WAV file packs two frames into one 65-byte block.
Frame frame_of(Encoding encoding, bool wav);

class Encoder {
 public:
  Encoder(Encoding encoding, bool wav);

  Frame frame() const { return frame_; }
  // Encodes whole frames of values into out.
  void encode(std::span<const double> values, std::span<std::uint8_t> out);
  // Fills out with silence, where a frame is one sample (GSM codes its
  // silence like any other samples).
  void silence(std::span<std::uint8_t> out) const;

 private:
  Encoding encoding_;
  Frame frame_;
  std::unique_ptr<GsmCoder> gsm_;
  std::vector<std::int16_t> levels_;  // GSM's input, one piece at a time
};

}  // namespace zarn
