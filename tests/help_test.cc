#include "cli/help.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/options.h"

namespace zarn {
namespace {

// Each of these is an option to the reader and has its line in the summary.
TEST(HelpText, ListsEveryOptionTheReaderKnows) {
  for (std::string_view option :
       {"-r", "--rate", "-e", "--encoding", "--ramp", "--farnsworth", "--volume", "--lead",
        "--tail", "--raw", "--text", "-h", "--help", "-V", "--version"}) {
    const auto result = read_options(std::vector<std::string_view>{option});
    const auto* error = std::get_if<OptionError>(&result);
    EXPECT_TRUE(!error || error->kind != OptionError::Kind::unknown_option) << option;
    const std::string listed = std::string(option) + (option[1] == '-' ? " " : ",");
    EXPECT_NE(help_text().find(listed), std::string_view::npos) << option;
  }
}

TEST(HelpText, StartsWithTheSynopsis) {
  EXPECT_TRUE(
      help_text().starts_with("Usage: zarn [options] <callsign> <wpm> <filename> [<freq>]\n"));
  EXPECT_EQ(version_text(), "zarn 1.1.0\n");
}

}  // namespace
}  // namespace zarn
