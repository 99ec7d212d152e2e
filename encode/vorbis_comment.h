// The tags as Vorbis comments ("TITLE=..."), the form Ogg and FLAC files
// carry them in.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "encode/tags.h"

namespace zarn {

// "TITLE=...", one an asked-for field, in a fixed order.
std::vector<std::string> vorbis_comments(const Tags& tags);

}  // namespace zarn
