#include "args/command.h"

#include "args/fields.h"
#include "args/help.h"
#include "args/number.h"
#include "args/options.h"
#include "core/text_file.h"
#include "keying/unit_length.h"

namespace zarn {
namespace {

// The arguments after the message: <wpm> [<filename>] [<freq>]. With -f
// there is no <callsign> before them.
std::span<const std::string_view> after_message(const Options& options) {
  return std::span(options.positional).subspan(options.text_file ? 0 : 1);
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

}  // namespace

Result<Command> read_command(std::span<const std::string_view> args, CommandForm form) {
  auto read = read_options(args);
  if (!read) return std::move(read).error();
  const Options& options = *read;
  if (options.help) return Command{.request = {}, .file_name = {}, .out = help_text()};
  if (options.version) return Command{.request = {}, .file_name = {}, .out = version_text()};
  const std::size_t needed = (options.text_file ? 0u : 1u) + (options.sound.dot_seconds ? 0u : 1u) +
                             (form.names_file ? 1u : 0u);
  if (options.positional.size() < needed) {
    return Command{.request = {}, .file_name = {}, .out = kUsage};
  }
  Command command{.request = {}, .file_name = {}, .out = {}};
  Request& request = command.request;
  const auto after = after_message(options);
  if (auto numbers = read_numbers(after, form, options, request); !numbers)
    return std::move(numbers).error();
  if (auto text = read_text(options, form, request); !text) return std::move(text).error();
  request.letters = options.letters;
  request.sound = options.sound;
  request.container = options.container;
  if (form.names_file) command.file_name = trim_blanks(after[options.sound.dot_seconds ? 0 : 1]);
  command.sync = options.sync;
  return command;
}

}  // namespace zarn
