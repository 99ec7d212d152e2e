// A replacement takes the name in one step from whatever holds it when it
// commits, and leaves nothing of its own behind: a folder that took the
// name meanwhile keeps it, whole.
#include "output/replacement.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace zarn {
namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Replacement, CommitsOverWhateverHoldsTheNameThen) {
  const struct {
    const char* meanwhile;
    void (*change)(const fs::path&);
    bool placed;
  } cases[] = {
      {"nothing", [](const fs::path&) {}, true},
      {"name removed", [](const fs::path& p) { fs::remove(p); }, true},
      {"another file",
       [](const fs::path& p) {
         fs::remove(p);
         std::ofstream(p) << "other";
       },
       true},
      {"a folder",
       [](const fs::path& p) {
         fs::remove(p);
         fs::create_directory(p);
         std::ofstream(p / "inside") << "kept";
       },
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.meanwhile);
    const fs::path dir =
        fs::temp_directory_path() / ("zarn-replacement-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directory(dir);
    const fs::path name = dir / "id.wav";
    std::ofstream(name) << "old";
    struct stat old {};
    ASSERT_EQ(::stat(name.c_str(), &old), 0);
    Replacement replacement;
    ASSERT_EQ(replacement.create(name.string(), old), 0);
    ASSERT_EQ(::write(replacement.fd(), "new", 3), 3);
    c.change(name);
    EXPECT_EQ(replacement.commit(false) == 0, c.placed);
    EXPECT_EQ(c.placed ? read_file(name) : read_file(name / "inside"), c.placed ? "new" : "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
  }
}

}  // namespace
}  // namespace zarn
