#include "args/help.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "args/options.h"

namespace zarn {
namespace {

// Each of these is an option to the reader and has its line in the summary.
TEST(HelpText, ListsEveryOptionTheReaderKnows) {
  for (std::string_view option :
       {"-r",         "--rate",    "-e",     "--encoding",  "--ramp",      "--farnsworth",
        "--word-gap", "--volume",  "--lead", "--tail",      "--raw",       "-p",
        "--preset",   "--text",    "-f",     "--text-file", "-h",          "--help",
        "-V",         "--version", "--ch",   "--fold",      "--ukrainian", "--persian", "--sync"}) {
    const auto result = read_options(std::vector<std::string_view>{option});
    EXPECT_TRUE(result || result.error().kind != OptionError::Kind::unknown_option) << option;
    const std::string listed = std::string(option) + (option[1] == '-' ? " " : ",");
    EXPECT_NE(help_text().find(listed), std::string_view::npos) << option;
  }
}

TEST(HelpText, EveryLineFitsAnEightyColumnTerminal) {
  std::string_view rest = help_text();
  for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos;) {
    EXPECT_LE(end, 80u) << rest.substr(0, end);
    rest.remove_prefix(end + 1);
  }
  EXPECT_TRUE(rest.empty());
}

TEST(HelpText, StartsWithTheSynopsis) {
  EXPECT_TRUE(
      help_text().starts_with("Usage: zarn [options] <callsign> <wpm> <filename> [<freq>]\n"));
  EXPECT_EQ(version_text(),
            "zarn " ZARN_PROJECT_VERSION "\nCopyright the zarn authors. MIT License.\n");
}

}  // namespace
}  // namespace zarn
