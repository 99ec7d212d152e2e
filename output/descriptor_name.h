// Names that stand for one of the process's own open descriptors:
// /dev/stdout, /dev/fd/3, /proc/self/fd/1 and the like, however reached.
#pragma once

#include <optional>
#include <string_view>

namespace zarn {

// The descriptor number `name` stands for, following its symbolic links one
// at a time, or nothing when it names an ordinary file. Whether that
// descriptor is open is not checked. Matching is by name only: a file that
// merely happens to be open on some descriptor is not one of these names.
std::optional<int> descriptor_named(std::string_view name);

}  // namespace zarn
