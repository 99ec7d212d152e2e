// A long message as several files: cut at the word boundary nearest each so
// many minutes, or before each line that holds a marker (a chapter's
// heading), each part a whole file of its own, numbered from the output's
// name and, when tags are asked for, tagged with its track.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/pipeline.h"
#include "core/request.h"
#include "core/result.h"

namespace zarn {

inline constexpr std::size_t kMostPartFiles = 999;

struct PlannedPart {
  std::string file_name;
  PlannedSound sound;
};

// "book.mp3" and part 1 give "book-001.mp3"; a name without an extension
// (or whose only dot starts it, ".book") gets the number at its end.
std::string part_name(std::string_view file_name, std::size_t number);

// The texts of the parts: whole words, none blank, in order.
std::vector<std::string> part_texts(const Request& request);

// Every part planned, or the first failure, before any file is touched. A
// request without a split is one part, under `file_name` itself.
Result<std::vector<PlannedPart>> plan_parts(const Request& request, std::string_view file_name);

}  // namespace zarn
