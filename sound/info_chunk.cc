#include "sound/info_chunk.h"

#include <string>
#include <string_view>

namespace zarn {
namespace {

void put_u32(std::vector<std::uint8_t>& out, std::size_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A text sub-chunk, its text ended by a NUL and the chunk padded to even.
void put_text(std::vector<std::uint8_t>& out, std::string_view id, const std::string& text) {
  if (text.empty()) return;
  out.insert(out.end(), id.begin(), id.end());
  put_u32(out, text.size() + 1);
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
  if ((text.size() + 1) % 2 != 0) out.push_back(0);
}

}  // namespace

std::vector<std::uint8_t> info_chunk(const Tags& tags) {
  if (tags.empty()) return {};
  std::vector<std::uint8_t> body = {'I', 'N', 'F', 'O'};
  put_text(body, "INAM", tags.title);
  put_text(body, "IART", tags.artist);
  put_text(body, "IPRD", tags.album);
  put_text(body, "IPRT", tags.track);
  put_text(body, "ICMT", tags.comment);
  std::vector<std::uint8_t> chunk = {'L', 'I', 'S', 'T'};
  put_u32(chunk, body.size());
  chunk.insert(chunk.end(), body.begin(), body.end());
  return chunk;
}

}  // namespace zarn
