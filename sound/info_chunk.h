// The tags of a WAV file: a LIST chunk of INFO text, written only when a
// tag is asked for, so that an untagged file's bytes stay as they were.
#pragma once

#include <cstdint>
#include <vector>

#include "encode/tags.h"

namespace zarn {

// Nothing for no tags.
std::vector<std::uint8_t> info_chunk(const Tags& tags);

}  // namespace zarn
