#include "encode/id3.h"

#include <string_view>

namespace zarn {
namespace {

constexpr std::uint8_t kUtf8 = 3;

// ID3v2.4 sizes hold 7 bits a byte, so that no size looks like a sync.
void put_syncsafe(std::vector<std::uint8_t>& out, std::size_t size) {
  for (int shift = 21; shift >= 0; shift -= 7) {
    out.push_back(static_cast<std::uint8_t>((size >> shift) & 0x7F));
  }
}

void put_frame(std::vector<std::uint8_t>& out, std::string_view id, std::string_view prefix,
               std::string_view text) {
  if (text.empty()) return;
  out.insert(out.end(), id.begin(), id.end());
  put_syncsafe(out, 1 + prefix.size() + text.size());
  out.insert(out.end(), {0, 0, kUtf8});  // no flags, then the text's encoding
  out.insert(out.end(), prefix.begin(), prefix.end());
  out.insert(out.end(), text.begin(), text.end());
}

}  // namespace

std::vector<std::uint8_t> id3_tag(const Tags& tags) {
  if (tags.empty()) return {};
  std::vector<std::uint8_t> frames;
  put_frame(frames, "TIT2", {}, tags.title);
  put_frame(frames, "TPE1", {}, tags.artist);
  put_frame(frames, "TALB", {}, tags.album);
  put_frame(frames, "TRCK", {}, tags.track);
  // A comment has a language and an empty description before its text.
  put_frame(frames, "COMM", std::string_view("und\0", 4), tags.comment);
  std::vector<std::uint8_t> tag = {'I', 'D', '3', 4, 0, 0};
  put_syncsafe(tag, frames.size());
  tag.insert(tag.end(), frames.begin(), frames.end());
  return tag;
}

}  // namespace zarn
