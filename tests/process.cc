#include "tests/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zarn::testing {
namespace {

std::filesystem::path unique_temp(const char* stem) {
  std::string pattern = (std::filesystem::temp_directory_path() / stem).string() + "XXXXXX";
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) throw std::runtime_error("mkstemp failed");
  ::close(fd);
  return pattern;
}

// The child's argument vector, built before fork() so the child allocates
// nothing.
std::vector<std::string> command_words(const std::vector<std::string>& args, const Launch& launch) {
  if (launch.shell) return {"/bin/sh", "-c", args.empty() ? "" : args.front(), ZARN_PATH};
  std::vector<std::string> words = {ZARN_PATH};
  words.insert(words.end(), args.begin(), args.end());
  return words;
}

[[noreturn]] void exec_child(const std::vector<char*>& argv, const Launch& launch,
                             const std::filesystem::path& out, const std::filesystem::path& err) {
  const int in_fd = ::open("/dev/null", O_RDONLY);
  const int out_fd = ::open(out.c_str(), O_WRONLY | O_TRUNC);
  const int err_fd = ::open(err.c_str(), O_WRONLY | O_TRUNC);
  if (in_fd < 0 || out_fd < 0 || err_fd < 0) ::_exit(126);
  ::dup2(in_fd, 0);
  ::dup2(out_fd, 1);
  ::dup2(err_fd, 2);
  for (const auto& [number, from] : launch.descriptors) {
    if (from < 0) ::close(number);
    if (from >= 0 && ::dup2(from, number) < 0) ::_exit(126);
  }
  if (!launch.cwd.empty() && ::chdir(launch.cwd.c_str()) != 0) ::_exit(126);
  if (launch.file_size_limit) {
    const rlimit limit{*launch.file_size_limit, *launch.file_size_limit};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
  }
  ::execv(argv[0], argv.data());
  ::_exit(127);
}

}  // namespace

Process::Process(const std::vector<std::string>& args, const Launch& launch)
    : out_path_(unique_temp("zarn-out")), err_path_(unique_temp("zarn-err")) {
  auto words = command_words(args, launch);
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) exec_child(argv, launch, out_path_, err_path_);
}

Process::~Process() {
  if (pid_ > 0) wait();
  std::error_code ec;
  std::filesystem::remove(out_path_, ec);
  std::filesystem::remove(err_path_, ec);
}

Exit Process::wait() {
  Exit exit;
  int raw = 0;
  while (::waitpid(pid_, &raw, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("waitpid failed");
  }
  pid_ = -1;
  if (WIFEXITED(raw)) exit.status = WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) exit.signal = WTERMSIG(raw);
  exit.out = read_file(out_path_);
  exit.err = read_file(err_path_);
  return exit;
}

Exit run_zarn(const std::vector<std::string>& args, const Launch& launch) {
  return Process(args, launch).wait();
}

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zarn-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = std::filesystem::canonical(pattern);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void write_file(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

::testing::AssertionResult same_bytes(const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  const auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
  return ::testing::AssertionFailure() << "sizes " << actual.size() << " and " << expected.size()
                                       << ", first difference at byte " << (a - actual.begin());
}

}  // namespace zarn::testing
