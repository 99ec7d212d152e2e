#include "encode/vorbis_comment.h"

namespace zarn {

std::vector<std::string> vorbis_comments(const Tags& tags) {
  const std::pair<const char*, const std::string*> fields[] = {{"TITLE=", &tags.title},
                                                               {"ARTIST=", &tags.artist},
                                                               {"ALBUM=", &tags.album},
                                                               {"TRACKNUMBER=", &tags.track},
                                                               {"COMMENT=", &tags.comment}};
  std::vector<std::string> comments;
  for (const auto& [name, value] : fields) {
    if (!value->empty()) comments.push_back(name + *value);
  }
  return comments;
}

}  // namespace zarn
