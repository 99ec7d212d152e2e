#include "args/tag_text.h"

#include "core/value_rule.h"
#include "morse/utf8.h"

namespace zarn {

bool is_tag_text(std::string_view text) {
  if (text.size() > rules::kLongestTag) return false;
  while (!text.empty()) {
    const std::size_t length = utf8_character_length(text);
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

}  // namespace zarn
