// What a tag may hold: UTF-8, as every tag form stores it, and short
// enough for any of them.
#pragma once

#include <string_view>

namespace zarn {

bool is_tag_text(std::string_view text);

}  // namespace zarn
