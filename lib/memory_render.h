// A planned sound into memory taken with malloc, so that a C caller can
// free it, or through the caller's write callback.
#pragma once

#include <cstdint>
#include <span>

#include "core/pipeline.h"
#include "zarn.h"

namespace zarn {

// The whole file, its memory taken before anything is rendered; a sound
// larger than memory is OutOfMemory, never a failed write.
Result<std::span<std::uint8_t>> render_to_memory(const PlannedSound& sound);

// The file a block at a time through `write`.
Status render_to_callback(const PlannedSound& sound, zarn_write_fn write, void* context);

}  // namespace zarn
