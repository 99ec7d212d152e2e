#include "cli/run.h"

#include "args/command.h"
#include "core/pipeline.h"

namespace zarn {
namespace {

Status make_sound(const Command& command, Sink& sink) {
  auto sound = plan_request(command.request);
  if (!sound) return std::move(sound).error();
  sink.set_durable(command.sync);
  return write_sound(*sound, sink, command.file_name);
}

}  // namespace

Outcome run(std::span<const std::string_view> args, Sink& sink) {
  auto command = read_command(args, {.names_file = true, .reads_files = true});
  if (!command) return {.out = {}, .failure = describe(command.error())};
  if (!command->out.empty()) return {.out = std::string(command->out), .failure = std::nullopt};
  if (auto made = make_sound(*command, sink); !made) {
    return {.out = {}, .failure = describe(made.error())};
  }
  return {};
}

}  // namespace zarn
