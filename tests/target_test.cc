// A name is opened as the file seen before opening, or not at all: a FIFO
// made in its place in the meantime had the sound written into nobody.
#include "output/target.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <variant>

namespace zarn {
namespace {

namespace fs = std::filesystem;

struct ScratchDir {
  ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "zarn-target-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) folder = fs::canonical(pattern);
  }
  ~ScratchDir() { fs::remove_all(folder); }
  const fs::path& path() const { return folder; }
  fs::path folder;
};

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(OpenSeen, RefusesWhatTookThePlaceOfTheFileSeen) {
  const ScratchDir dir;
  const std::string name = (dir.path() / "id.wav").string();
  const std::string other = (dir.path() / "other.wav").string();
  const struct {
    const char* what;
    bool exists_first;
    std::function<void()> swap;
    bool opened;
  } kCases[] = {
      {"the same file", true, [] {}, true},
      {"a FIFO for the file", true, [&] { fs::remove(name), ::mkfifo(name.c_str(), 0600); }, false},
      {"a FIFO where none was", false, [&] { ::mkfifo(name.c_str(), 0600); }, false},
      {"another file", true, [&] { write_file(other, "x"), fs::rename(other, name); }, false},
      {"a link to another file", true,
       [&] { write_file(other, "x"), fs::remove(name), fs::create_symlink(other, name); }, false},
  };
  for (const auto& c : kCases) {
    fs::remove(name);
    if (c.exists_first) write_file(name, "old");
    const auto looked = look_up(name);
    ASSERT_TRUE(std::holds_alternative<Target>(looked)) << c.what;
    c.swap();
    const Opened opened = open_seen(std::get<Target>(looked), O_RDWR | O_NONBLOCK);
    EXPECT_EQ(opened.fd >= 0, c.opened) << c.what;
    EXPECT_EQ(opened.error, 0) << c.what;
    if (opened.fd >= 0) ::close(opened.fd);
  }
}

TEST(LookUp, FollowsLinksToTheFileTheyName) {
  const ScratchDir dir;
  fs::create_directory(dir.path() / "sounds");
  fs::create_symlink("sounds/id.wav", dir.path() / "relative");
  fs::create_symlink(dir.path() / "relative", dir.path() / "absolute");
  fs::create_symlink("loop", dir.path() / "loop");
  const struct {
    const char* name;
    std::variant<std::string, int> expected;  // the path, or the errno
  } kCases[] = {
      {"absolute", (dir.path() / "sounds/id.wav").string()},
      {"loop", ELOOP},
  };
  for (const auto& c : kCases) {
    const auto looked = look_up((dir.path() / c.name).string());
    if (const auto* err = std::get_if<int>(&c.expected)) {
      ASSERT_TRUE(std::holds_alternative<int>(looked)) << c.name;
      EXPECT_EQ(std::get<int>(looked), *err);
    } else {
      ASSERT_TRUE(std::holds_alternative<Target>(looked)) << c.name;
      EXPECT_EQ(fs::path(std::get<Target>(looked).path).lexically_normal(),
                fs::path(std::get<std::string>(c.expected)));
      EXPECT_FALSE(std::get<Target>(looked).seen) << c.name;  // a dangling link: to be made
    }
  }
}

}  // namespace
}  // namespace zarn
