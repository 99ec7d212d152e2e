#include "core/split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zarn {
namespace {

TEST(Split, NumberTheOutputNameBeforeItsExtension) {
  const struct {
    const char* name;
    std::size_t number;
    const char* part;
  } kCases[] = {
      {"book.mp3", 1, "book-001.mp3"},        {"a.b.flac", 999, "a.b-999.flac"},
      {"dir.v2/book", 12, "dir.v2/book-012"}, {".hidden", 3, ".hidden-003"},
      {"out/.ogg", 1, "out/.ogg-001"},
  };
  for (const auto& c : kCases) EXPECT_EQ(part_name(c.name, c.number), c.part) << c.name;
}

// At 12 wpm a unit is 0.1 s, so "E" with its word gap is 0.8 s: the words
// end at 0.8, 1.6, 2.4 and 3.2 s.
TEST(Split, CutAtTheNearestWordBoundaryOrBeforeEachMarkedLine) {
  const auto texts = [](Request::Text kind, const char* text, double minutes,
                        const char* marker = "") {
    Request r;
    r.kind = kind;
    r.text = text;
    r.wpm = 12;
    if (minutes > 0) r.split.minutes = minutes;
    r.split.marker = marker;
    return part_texts(r);
  };
  using Texts = std::vector<std::string>;
  const auto message = Request::Text::message;
  EXPECT_EQ(texts(message, "E E  E E", 1.9 / 60), (Texts{"E E", "E E"}));
  EXPECT_EQ(texts(message, "E E E E", 2.1 / 60), (Texts{"E E E", "E"}));
  EXPECT_EQ(texts(message, "E E E E", 0.1 / 60), (Texts{"E", "E", "E", "E"}));
  EXPECT_EQ(texts(message, "E E E E", 10), (Texts{"E E E E"}));
  const auto lines = Request::Text::lines;
  EXPECT_EQ(texts(lines, "## ONE\nA\n\n## TWO\nB\n", 0, "##"),
            (Texts{"## ONE\nA\n\n", "## TWO\nB\n"}));
  // What precedes the first heading is a part; a blank one is none.
  EXPECT_EQ(texts(lines, "PRE\n## ONE\n", 0, "##"), (Texts{"PRE\n", "## ONE\n"}));
  EXPECT_EQ(texts(lines, " \n## ONE\n## TWO", 0, "##"), (Texts{" \n## ONE\n", "## TWO"}));
}

}  // namespace
}  // namespace zarn
