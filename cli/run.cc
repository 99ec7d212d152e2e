#include "cli/run.h"

#include <sys/stat.h>

#include <string>

#include "args/command.h"
#include "cli/key_file.h"
#include "core/pipeline.h"
#include "core/split.h"

namespace zarn {
namespace {

// Parts are numbered files beside the name: a device, a FIFO or a folder
// under the name has no parts to go beside it (/dev/null-001 would be made).
bool names_other_than_a_file(std::string_view name) {
  struct stat st {};
  return ::stat(std::string(name).c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

// Every part is planned before the first file is touched; a failure names
// its part's file.
Status make_sound(const Command& command, Sink& sink) {
  if (command.request.split.any() && names_other_than_a_file(command.file_name)) {
    return SplitRefusal{SplitRefusal::Kind::no_file_name, 0};
  }
  auto parts = plan_parts(command.request, command.file_name);
  if (!parts) return std::move(parts).error();
  if (!command.key_file.empty()) {
    if (auto key = write_key(command.key_file, command.key); !key) return std::move(key).error();
  }
  sink.set_durable(command.sync);
  for (const PlannedPart& part : *parts) {
    if (auto written = write_sound(part.sound, sink, part.file_name); !written) return written;
  }
  return {};
}

}  // namespace

Outcome run(std::span<const std::string_view> args, Sink& sink) {
  auto command = read_command(args, {.names_file = true, .reads_files = true, .writes_keys = true});
  if (!command) return {.out = {}, .failure = describe(command.error())};
  if (!command->out.empty()) return {.out = std::string(command->out), .failure = std::nullopt};
  if (auto made = make_sound(*command, sink); !made) {
    return {.out = {}, .failure = describe(made.error())};
  }
  return {};
}

}  // namespace zarn
