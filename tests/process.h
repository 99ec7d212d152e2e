// Runs the built tool as a separate process, the way users and scripts do.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zarn::testing {

struct Exit {
  int status = -1;  // exit status, or -1 when ended by a signal
  int signal = 0;   // the signal that ended it, if any
  std::string out;
  std::string err;
};

struct Launch {
  std::filesystem::path cwd = {};
  std::optional<rlim_t> file_size_limit = {};  // bytes
  // Set in the child after its standard streams, in this order: {number,
  // a descriptor of this process to give it there, or -1 to close it}.
  std::vector<std::pair<int, int>> descriptors = {};
  // Runs `/bin/sh -c args[0]` with the tool's path as $0 instead of the tool,
  // for redirections written as scripts write them.
  bool shell = false;
};

class Process {
 public:
  Process(const std::vector<std::string>& args, const Launch& launch);
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();

  pid_t pid() const { return pid_; }
  Exit wait();

 private:
  pid_t pid_ = -1;
  std::filesystem::path out_path_;
  std::filesystem::path err_path_;
};

// Starts the tool with `args` (program name not included) and waits for it.
Exit run_zarn(const std::vector<std::string>& args, const Launch& launch);

// A fresh scratch folder, removed with everything in it afterwards.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& bytes);

// Compares sound files without dumping them: says where they part.
::testing::AssertionResult same_bytes(const std::string& actual, const std::string& expected);

}  // namespace zarn::testing
