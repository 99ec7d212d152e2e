// A seed for a practice set the caller gave none for: drawn from the
// system's entropy, so that each run differs, and written into the key so
// that any set can be made again.
#pragma once

#include <cstdint>

namespace zarn {

std::uint64_t draw_seed();

}  // namespace zarn
