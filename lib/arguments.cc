#include "lib/arguments.h"

#include <variant>

#include "cli/options.h"

namespace zarn {

std::vector<std::string_view> with_file_name(std::span<const std::string_view> args,
                                             std::string_view name) {
  std::vector<std::string_view> out(args.begin(), args.end());
  const auto read = read_options(args);
  const auto* options = std::get_if<Options>(&read);
  if (options == nullptr || options->positional.size() < 2) return out;
  // Everything from the callsign on is positional, so the positionals are
  // the arguments' tail.
  const auto wpm_at = args.size() - options->positional.size() + 1;
  out.insert(out.begin() + static_cast<std::ptrdiff_t>(wpm_at) + 1, name);
  return out;
}

}  // namespace zarn
