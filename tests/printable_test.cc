// What a diagnostic shows of the user's text: one line, nothing a terminal
// would obey, and everything else as it was written.
#include "core/printable.h"

#include <gtest/gtest.h>

namespace zarn {
namespace {

TEST(Printable, EscapesWhatATerminalWouldObey) {
  const struct {
    const char* text;
    const char* shown;
  } kCases[] = {
      {"id\nzarn: severe", "id\\nzarn: severe"},
      {"a\tb\rc", "a\\tb\\rc"},
      {"\x1b[2J", "\\x1b[2J"},
      {"\x7f", "\\x7f"},
      {"\xc2\x9b"
       "31m",
       "\\xc2\\x9b31m"},                                                 // C1 control introducer
      {"8000\xe2\x80\xae", "8000\\xe2\\x80\\xae"},                       // right-to-left override
      {"\xe2\x81\xa6x\xe2\x81\xa9", "\\xe2\\x81\\xa6x\\xe2\\x81\\xa9"},  // isolates
      {"id\xe2\x80\x8b.wav", "id\\xe2\\x80\\x8b.wav"},  // zero width: hides in a name
      {"\xe2\x81\xa0\xef\xbb\xbf", "\\xe2\\x81\\xa0\\xef\\xbb\\xbf"},    // word joiner, BOM
      {"a\xe2\x80\xa8\xe2\x80\xa9", "a\\xe2\\x80\\xa8\\xe2\\x80\\xa9"},  // line, paragraph
      {"u8\xc2\xa0", "u8\\xc2\\xa0"},  // a no-break space looks like none
      {"\xe3\x80\x80\xe3\x85\xa4", "\\xe3\\x80\\x80\\xe3\\x85\\xa4"},  // wide space, filler
      {"\xf3\xa0\x80\x81", "\\xf3\\xa0\\x80\\x81"},                    // language tag
      {"\xff\xfe", "\\xff\\xfe"},                                      // not UTF-8
      {"'\xcc\x81", "'\\xcc\\x81"},  // a combining mark joins onto the quote
      {"\xef\xbf\xbe\xf4\x8f\xbf\xbf", "\\xef\\xbf\\xbe\\xf4\\x8f\\xbf\\xbf"},  // noncharacters
      {"caf\xc3\xa9 \\ ok", "caf\xc3\xa9 \\ ok"},                               // kept as written
      {"\xe2\x80\x94", "\xe2\x80\x94"},  // an em dash is text
  };
  for (const auto& c : kCases) EXPECT_EQ(printable(c.text), c.shown) << c.shown;
}

}  // namespace
}  // namespace zarn
