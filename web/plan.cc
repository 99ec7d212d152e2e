// The page asks for the size before the bytes, so that a sound no browser
// can hold is refused before it is made, and it describes the file by the
// format and speed the command line read, never by looking into the bytes.
#include "web/plan.h"

#include <string_view>
#include <vector>

#include "args/command.h"
#include "core/pipeline.h"

namespace {

std::vector<std::string_view> arguments(int argc, const char* const* argv) {
  std::vector<std::string_view> args;
  for (int i = 0; argv != nullptr && i < argc; ++i)
    args.emplace_back(argv[i] != nullptr ? argv[i] : "");
  return args;
}

// The character speed: --farnsworth, or <wpm>.
double unit_seconds(const zarn::Request& request) {
  const double chars = request.sound.farnsworth_wpm.value_or(request.wpm);
  return chars > 0 ? 1.2 / chars : 0;
}

}  // namespace

extern "C" int zarn_web_plan_of(int argc, const char* const* argv, zarn_web_plan* plan) {
  const auto args = arguments(argc, argv);
  const auto command = zarn::read_command(args, {.names_file = false, .reads_files = false});
  if (!command || !command->out.empty() || plan == nullptr) return 0;
  const auto sound = zarn::plan_request(command->request);
  if (!sound) return 0;
  const auto& request = command->request;
  *plan = {.size = static_cast<double>(sound->size()),
           .unit_seconds = unit_seconds(request),
           .rate = request.sound.rate,
           .encoding = zarn::encoding_name(request.sound.encoding).data(),
           .raw = request.container == zarn::Container::raw ? 1 : 0};
  return 1;
}
