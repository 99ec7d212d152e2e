#include "core/split.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "keying/unit_length.h"
#include "morse/inline_change.h"
#include "morse/message.h"
#include "output/descriptor_name.h"

namespace zarn {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

bool blank(std::string_view text) {
  return text.find_first_not_of(kBlanks) == std::string_view::npos;
}

// A new part starts at each line that holds the marker.
std::vector<std::string> texts_at_marker(std::string_view text, std::string_view marker) {
  std::vector<std::string> parts(1);
  while (!text.empty()) {
    const auto end = text.find('\n');
    const auto line = text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
    if (line.find(marker) != std::string_view::npos && !blank(parts.back())) parts.emplace_back();
    parts.back() += line;
    text.remove_prefix(line.size());
  }
  return parts;
}

std::vector<std::string_view> words_of(std::string_view text) {
  std::vector<std::string_view> words;
  for (auto at = text.find_first_not_of(kBlanks); at != std::string_view::npos;
       at = text.find_first_not_of(kBlanks, at)) {
    const auto end = std::min(text.find_first_of(kBlanks, at), text.size());
    words.push_back(text.substr(at, end - at));
    at = end;
  }
  return words;
}

// Calls `each(change, text)` for each change written in `text`, with the
// text of the change ("|w40"); "||" is the bar itself, no change.
template <class Each>
void for_each_change(std::string_view text, Each each) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '|') continue;
    if (at + 1 < text.size() && text[at + 1] == '|') {
      ++at;
      continue;
    }
    const auto change = read_change(text.substr(at + 1));
    if (!change) continue;
    each(*change, text.substr(at, 1 + change->length));
    at += change->length;
  }
}

// Each word's seconds with its gap: its units at the speed, four more for
// the word gap; a speed change in a word counts from the next word on, near
// enough to place a cut. A word without code (a change alone) counts
// nothing here; the whole text has been encoded before.
std::vector<double> word_ends(const std::vector<std::string_view>& words, const Request& request) {
  double unit = kSecondsPerUnitAt1Wpm / request.wpm;
  std::vector<double> ends;
  double at = 0;
  for (const auto word : words) {
    const auto units = encode_message(word, TextForm::lines, request.letters);
    at += units ? static_cast<double>(units->units.size() + 4) * unit : 0;
    ends.push_back(at);
    for_each_change(word, [&unit](const ChangeText& change, std::string_view) {
      if (change.kind == InlineChange::Kind::speed && change.value > 0) {
        unit = kSecondsPerUnitAt1Wpm / change.value;
      }
    });
  }
  return ends;
}

// The changes written so far, the last of each kind, so that a part starts
// as the one before it ended: a |w40 in part 1 still holds in part 2.
class CarriedChanges {
 public:
  // The changes as text for the front of the next part, each with a blank
  // after it, so that a digit starting the part does not join its number.
  std::string prefix() const {
    std::string text;
    for (const std::string& change : last_) {
      if (!change.empty()) text += change + ' ';
    }
    return text;
  }

  void read(std::string_view text) {
    for_each_change(text, [this](const ChangeText& change, std::string_view written) {
      last_[slot(change.kind)] = std::string(written);
    });
  }

 private:
  static std::size_t slot(InlineChange::Kind kind) {
    switch (kind) {
      case InlineChange::Kind::speed:
        return 0;
      case InlineChange::Kind::character_speed:
        return 1;
      case InlineChange::Kind::tone:
        return 2;
      case InlineChange::Kind::volume:
        return 3;
    }
    return 0;
  }
  std::array<std::string, 4> last_;
};

// Each part draws its band conditions afresh, from the seed and its number:
// parts that repeated the same noise would sound the same. Part 1 keeps the
// seed itself, as the sound unsplit would.
constexpr std::uint64_t kPartSeedStep = 0x9E3779B97F4A7C15u;

// Cuts at the word boundary nearest each whole number of periods: after a
// word when its end is nearer the cut than the next word's end.
std::vector<std::string> texts_by_time(std::string_view text, const Request& request,
                                       double seconds) {
  const auto words = words_of(text);
  const auto ends = word_ends(words, request);
  std::vector<std::string> parts(1);
  double cut = seconds;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (!parts.back().empty()) parts.back() += ' ';
    parts.back() += words[i];
    if (i + 1 == words.size() || ends[i + 1] <= cut) continue;
    if (cut - ends[i] > ends[i + 1] - cut) continue;  // the next boundary is nearer
    parts.emplace_back();
    // The next whole number of periods, past this word too, however short
    // the periods are.
    cut = std::max(cut + seconds, (std::floor(ends[i] / seconds) + 1) * seconds);
  }
  return parts;
}

Request part_request(const Request& whole, std::string text, std::size_t number,
                     std::size_t count) {
  Request part = whole;
  part.split = {};
  part.text = std::move(text);
  part.sound.seed = whole.sound.seed + (number - 1) * kPartSeedStep;
  if (!part.tags.empty()) part.tags.track = std::to_string(number) + "/" + std::to_string(count);
  return part;
}

}  // namespace

std::string part_name(std::string_view file_name, std::size_t number) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "-%03zu", number);
  const auto slash = file_name.rfind('/');
  const auto base = slash == std::string_view::npos ? 0 : slash + 1;
  auto dot = file_name.rfind('.');
  if (dot == std::string_view::npos || dot <= base) dot = file_name.size();
  return std::string(file_name.substr(0, dot)) + digits + std::string(file_name.substr(dot));
}

std::vector<std::string> part_texts(const Request& request) {
  auto parts = request.split.minutes
                   ? texts_by_time(request.text, request, *request.split.minutes * 60)
                   : texts_at_marker(request.text, request.split.marker);
  std::erase_if(parts, [](const std::string& part) { return blank(part); });
  return parts;
}

Result<std::vector<PlannedPart>> plan_parts(const Request& request, std::string_view file_name) {
  std::vector<PlannedPart> planned;
  if (!request.split.any()) {
    auto sound = plan_request(request);
    if (!sound) return std::move(sound).error();
    planned.push_back({std::string(file_name), *std::move(sound)});
    return planned;
  }
  if (descriptor_named(file_name)) return SplitRefusal{SplitRefusal::Kind::no_file_name, 0};
  // The whole text first, so that a mistake is placed in it, not in a part.
  const TextForm form = request.kind == Request::Text::lines ? TextForm::lines : TextForm::one_line;
  if (auto units = encode_message(request.text, form, request.letters); !units) {
    return std::move(units).error();
  }
  const auto texts = part_texts(request);
  if (texts.size() > kMostPartFiles)
    return SplitRefusal{SplitRefusal::Kind::too_many, texts.size()};
  CarriedChanges carried;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    std::string text = carried.prefix() + texts[i];
    carried.read(texts[i]);
    auto sound = plan_request(part_request(request, std::move(text), i + 1, texts.size()));
    if (!sound) return std::move(sound).error();
    planned.push_back({part_name(file_name, i + 1), *std::move(sound)});
  }
  return planned;
}

}  // namespace zarn
