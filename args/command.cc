#include "args/command.h"

#include "args/draw_seed.h"
#include "args/fields.h"
#include "args/help.h"
#include "args/number.h"
#include "args/options.h"
#include "core/text_file.h"
#include "keying/unit_length.h"

namespace zarn {
namespace {

// With -f or a practice set there is no <callsign> argument.
bool has_callsign(const Options& options) {
  return !options.text_file && options.practice.count == 0;
}

// The arguments after the message: <wpm> [<filename>] [<freq>].
std::span<const std::string_view> after_message(const Options& options) {
  return std::span(options.positional).subspan(has_callsign(options) ? 1 : 0);
}

// The practice set is sent as a message; its key says exactly what that is.
Status make_practice_text(const Options& options, CommandForm form, std::uint64_t seed,
                          std::optional<std::uint64_t> drawn, Command& command) {
  if (options.key_file && *options.key_file != "-" && !form.writes_keys) {
    return OptionError{OptionError::Kind::not_here, "--key", std::string(*options.key_file),
                       "this caller writes no files; --key - gives the key as standard output"};
  }
  const PracticeSet set = make_practice(options.practice, seed);
  command.request.kind = Request::Text::message;
  command.request.text = set.text;
  if (options.key_file) {
    command.key = key_text(set, drawn);
    command.key_file = *options.key_file;
  }
  return {};
}

// The numbers are read before anything is encoded or written, so a
// malformed number never touches the output file. With --dot there is no
// <wpm>: the dot is the speed, and its range keeps 1.2 / dot a float.
Status read_numbers(std::span<const std::string_view> after, CommandForm form,
                    const Options& options, Request& request) {
  std::size_t next = 0;
  if (options.sound.dot_seconds) {
    request.wpm = static_cast<float>(kSecondsPerUnitAt1Wpm / *options.sound.dot_seconds);
  } else {
    auto wpm = read_number(NumberField(after[next++]));
    if (!wpm) return std::move(wpm).error();
    request.wpm = *wpm;
  }
  const std::size_t freq_at = next + (form.names_file ? 1 : 0);
  if (after.size() > freq_at) {
    auto freq = read_number(NumberField(after[freq_at]));
    if (!freq) return std::move(freq).error();
    request.freq = *freq;
  }
  return {};
}

// A callsign is its field; a message is taken whole, a file's as lines, and
// read whole before the output is opened.
Status read_text(const Options& options, CommandForm form, Request& request) {
  if (options.practice.count > 0) return {};
  if (!options.text_file) {
    request.kind = options.text ? Request::Text::message : Request::Text::callsign;
    request.text = options.positional[0];
    return {};
  }
  if (!form.reads_files) {
    return OptionError{OptionError::Kind::not_here,
                       std::string(options.text_file_by),
                       {},
                       "this caller reads no files and no standard input; give the text itself"};
  }
  auto text = read_text_file(*options.text_file);
  if (!text) return std::move(text).error();
  request.kind = Request::Text::lines;
  request.text = *std::move(text);
  return {};
}

// Text to print instead of a sound.
Command printing(std::string_view out) {
  Command command;
  command.out = out;
  return command;
}

}  // namespace

Result<Command> read_command(std::span<const std::string_view> args, CommandForm form) {
  auto read = read_options(args);
  if (!read) return std::move(read).error();
  const Options& options = *read;
  if (options.help) return printing(help_text());
  if (options.version) return printing(version_text());
  const std::size_t needed = (has_callsign(options) ? 1u : 0u) +
                             (options.sound.dot_seconds ? 0u : 1u) + (form.names_file ? 1u : 0u);
  if (options.positional.size() < needed) {
    return printing(kUsage);
  }
  Command command;
  Request& request = command.request;
  const auto after = after_message(options);
  if (auto numbers = read_numbers(after, form, options, request); !numbers)
    return std::move(numbers).error();
  if (auto text = read_text(options, form, request); !text) return std::move(text).error();
  request.letters = options.letters;
  // One seed makes the set and its band conditions: the key's seed makes
  // both again.
  const bool drawing = options.practice.count > 0 || options.sound.has_conditions();
  const auto drawn = options.seed || !drawing ? std::nullopt : std::optional(draw_seed());
  const std::uint64_t seed = options.seed.value_or(drawn.value_or(0));
  if (options.practice.count > 0) {
    if (auto set = make_practice_text(options, form, seed, drawn, command); !set) {
      return std::move(set).error();
    }
  }
  request.sound = options.sound;
  request.sound.seed = seed;
  request.container = options.container;
  request.tags = options.tags;
  request.split = options.split;
  if (form.names_file) command.file_name = trim_blanks(after[options.sound.dot_seconds ? 0 : 1]);
  command.sync = options.sync;
  return command;
}

}  // namespace zarn
