// An ID3v2.4 tag, the form MP3 players read titles from: UTF-8 text frames
// for what is asked for, nothing at all when nothing is.
#pragma once

#include <cstdint>
#include <vector>

#include "encode/tags.h"

namespace zarn {

std::vector<std::uint8_t> id3_tag(const Tags& tags);

}  // namespace zarn
