#include "output/descriptor_name.h"

#include <limits.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <memory>
#include <string>

namespace zarn {
namespace {

// Links followed before giving up, as the system does with ELOOP.
constexpr int kMaxLinks = 40;

// A descriptor number as /proc spells it: decimal digits without a sign or
// a leading zero, so that a name the system would not find is not taken.
std::optional<int> descriptor_number(std::string_view text) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
  if (text.size() > 1 && text[0] == '0') return std::nullopt;
  int number = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return number;
}

bool consume(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

// After "/proc/": this process's own folder, under any of its names.
bool consume_own_process(std::string_view& rest) {
  if (consume(rest, "self/") || consume(rest, "thread-self/")) return true;
  // The tool runs on one thread, whose id is the process id.
  const std::string pid = std::to_string(::getpid()) + "/";
  if (!consume(rest, pid)) return false;
  return !rest.starts_with("task/") || consume(rest, "task/" + pid);
}

std::optional<int> descriptor_in(std::string_view path) {
  if (path == "/dev/stdin") return 0;
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  if (consume(path, "/dev/fd/")) return descriptor_number(path);
  if (consume(path, "/proc/") && consume_own_process(path) && consume(path, "fd/")) {
    return descriptor_number(path);
  }
  return std::nullopt;
}

// `path` with its folder resolved to a real path. Only the folder: the real
// path of /proc/self/fd/1 would be the file behind the descriptor.
std::optional<std::string> with_real_folder(std::string_view path) {
  const auto slash = path.rfind('/');
  const std::string folder = slash == std::string_view::npos ? "."
                             : slash == 0                    ? "/"
                                                             : std::string(path.substr(0, slash));
  const std::string_view base = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (base.empty() || base == "." || base == "..") return std::nullopt;
  const std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.c_str(), nullptr),
                                                         &std::free);
  if (!real) return std::nullopt;
  std::string full(real.get());
  if (full != "/") full += '/';
  return full.append(base);
}

std::optional<std::string> link_target(const std::string& path) {
  char target[PATH_MAX];
  const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
  if (n < 0 || static_cast<std::size_t>(n) == sizeof target) return std::nullopt;
  return std::string(target, static_cast<std::size_t>(n));
}

}  // namespace

std::optional<int> descriptor_named(std::string_view name) {
  std::string path(name);
  for (int links = 0; links <= kMaxLinks; ++links) {
    if (const auto fd = descriptor_in(path)) return fd;
    const auto real = with_real_folder(path);
    if (!real) return std::nullopt;
    if (const auto fd = descriptor_in(*real)) return fd;
    const auto target = link_target(*real);
    if (!target) return std::nullopt;
    path = target->starts_with('/') ? *target : real->substr(0, real->rfind('/') + 1) + *target;
  }
  return std::nullopt;
}

}  // namespace zarn
