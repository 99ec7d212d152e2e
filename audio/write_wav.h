// The sound file's bytes, header and samples, written to an open sink.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "audio/shaped_renderer.h"
#include "audio/tone_plan.h"
#include "output/sink.h"

namespace zarn {

enum class Container {
  wav,  // the WAV header, then the samples
  raw,  // the samples alone, as telephony systems read them
};

// Every byte write_wav() writes: what a sink is told at opening so that it
// can refuse before the first byte.
std::uint64_t wav_size(const TonePlan& plan, Container container);
std::uint64_t wav_size(const ShapedSound& sound, Container container);

// Renders `units` as the planned keyed tone and writes it through `sink`, in
// fixed-size blocks so memory does not grow with the length of the sound.
std::optional<FileError> write_wav(const TonePlan& plan, std::span<const std::uint8_t> units,
                                   Container container, Sink& sink);
// The same for a sound made with sound options. Its data chunk gets the pad
// byte that RIFF wants after an odd length.
std::optional<FileError> write_wav(const ShapedSound& sound, Container container, Sink& sink);

}  // namespace zarn
