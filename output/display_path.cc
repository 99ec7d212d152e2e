#include "output/display_path.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "output/descriptor_name.h"

namespace zarn {
namespace {

// A longer full path is shown as the name was given.
constexpr std::size_t kMaxDisplayPath = 256;

namespace fs = std::filesystem;

// `path` up to its last slash, and what follows it.
std::pair<std::string, std::string> split_last(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

fs::path joined(const fs::path& head, const fs::path& tail) {
  return tail.empty() ? head : head / tail;
}

// The full path `absolute` as the system resolves it, through symbolic links
// and "..": the deepest of its folders that exists, resolved, then the rest
// as written. The file's own name is not followed, as opening does not
// follow it to say where it is.
fs::path resolved(std::string absolute) {
  const bool trailing_slash = absolute.size() > 1 && absolute.ends_with('/');
  while (absolute.size() > 1 && absolute.ends_with('/')) absolute.pop_back();
  auto [folder, tail] = split_last(absolute);
  if (tail == "." || tail == "..") {
    folder = absolute;
    tail.clear();
  }
  fs::path shown = tail;
  for (std::error_code ec;; ec.clear()) {
    const auto real = fs::canonical(folder, ec);
    if (!ec || folder == "/") {
      shown = joined(ec ? fs::path(folder) : real, shown).lexically_normal();
      break;
    }
    auto [parent, last] = split_last(folder);
    shown = joined(last, shown);
    folder = parent;
  }
  return trailing_slash ? shown / "" : shown;
}

}  // namespace

std::string display_path(std::string_view name) {
  if (name.empty()) return {};
  std::error_code ec;
  const auto cwd = fs::current_path(ec);
  if (ec) return std::string(name);
  const auto absolute = cwd / fs::path(name);
  const auto full = descriptor_named(name) ? absolute.lexically_normal().string()
                                           : resolved(absolute.string()).string();
  if (full.size() > kMaxDisplayPath) return std::string(name);
  return full;
}

}  // namespace zarn
