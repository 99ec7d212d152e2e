// The library's arguments are the command line's without the file name;
// the run needs one in its place.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace zarn {

// `args` with `name` put back after <wpm>, where the command line has it.
// Arguments the run refuses or that stop short of <wpm> are left as they
// are: the run then says what the command line would say.
std::vector<std::string_view> with_file_name(std::span<const std::string_view> args,
                                             std::string_view name);

}  // namespace zarn
