// The WAV file's bytes, header and samples, written to an open sink.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "audio/tone_plan.h"
#include "output/sink.h"

namespace zarn {

// Every byte write_wav() writes, header and samples: what a sink is told at
// opening so that it can refuse before the first byte.
std::uint64_t wav_size(const TonePlan& plan);

// Renders `units` as the planned keyed tone behind its WAV header and writes
// it through `sink`, in fixed-size blocks so memory does not grow with the
// length of the sound.
std::optional<FileError> write_wav(const TonePlan& plan, std::span<const std::uint8_t> units,
                                   Sink& sink);

}  // namespace zarn
