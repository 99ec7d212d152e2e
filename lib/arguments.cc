#include "lib/arguments.h"

#include <variant>

#include "cli/options.h"

namespace zarn {

std::vector<std::string_view> with_file_name(std::span<const std::string_view> args,
                                             std::string_view name) {
  std::vector<std::string_view> out(args.begin(), args.end());
  const auto read = read_options(args);
  const auto* options = std::get_if<Options>(&read);
  // With -f there is no callsign before <wpm>.
  const std::size_t before_wpm = options != nullptr && options->text_file ? 0 : 1;
  if (options == nullptr || options->positional.size() < before_wpm + 1) return out;
  // Everything from the callsign on is positional, so the positionals are
  // the arguments' tail.
  const auto wpm_at = args.size() - options->positional.size() + before_wpm;
  out.insert(out.begin() + static_cast<std::ptrdiff_t>(wpm_at) + 1, name);
  return out;
}

}  // namespace zarn
