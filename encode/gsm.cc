#include "encode/gsm.h"

#include <new>
#include <stdexcept>

#ifdef ZARN_HAVE_GSM
#include <gsm.h>
#endif

namespace zarn {

#ifdef ZARN_HAVE_GSM

struct GsmCoder::State {
  gsm handle;
};

GsmCoder::GsmCoder(bool wav_blocks) : state_(std::make_unique<State>()), wav_blocks_(wav_blocks) {
  state_->handle = gsm_create();
  if (state_->handle == nullptr) throw std::bad_alloc();
  // In WAV49 order the coder packs a frame pair into 65 bytes: the first
  // call writes 32 of them, the second 33.
  int on = 1;
  if (wav_blocks_) gsm_option(state_->handle, GSM_OPT_WAV49, &on);
}

GsmCoder::~GsmCoder() {
  gsm_destroy(state_->handle);
}

void GsmCoder::code(std::span<std::int16_t> samples, std::span<std::uint8_t> out) {
  gsm_signal* in = samples.data();
  std::uint8_t* at = out.data();
  const std::size_t frames = samples.size() / kGsmFrameSamples;
  for (std::size_t i = 0; i < frames; ++i, in += kGsmFrameSamples) {
    gsm_encode(state_->handle, in, at);
    at += wav_blocks_ && i % 2 == 0 ? kGsmFrameBytes - 1 : kGsmFrameBytes;
  }
}

#else

// A build without libgsm (the web page's): the option reader refuses -e gsm,
// so none of this runs.
struct GsmCoder::State {};

GsmCoder::GsmCoder(bool wav_blocks) : wav_blocks_(wav_blocks) {
  throw std::logic_error("this build has no GSM coder");
}

GsmCoder::~GsmCoder() = default;

void GsmCoder::code(std::span<std::int16_t>, std::span<std::uint8_t>) {}

#endif

}  // namespace zarn
