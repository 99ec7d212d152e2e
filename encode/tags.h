// What a file says about itself, as players list it: each empty when not
// asked for. Every field is UTF-8, checked when it is read.
#pragma once

#include <string>

namespace zarn {

struct Tags {
  std::string title;
  std::string artist;
  std::string album;
  std::string track;  // "3", or "3/12" in a file of a set of parts
  std::string comment;

  bool empty() const {
    return title.empty() && artist.empty() && album.empty() && track.empty() && comment.empty();
  }
};

}  // namespace zarn
