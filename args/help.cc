#include "args/help.h"

#include <string>

#include "args/option_table.h"
#include "args/presets.h"
#include "core/version.h"

namespace zarn {
namespace {

// Mirrored in the manual page; each line fits an 80-column terminal.
constexpr std::size_t kWidth = 80;
constexpr std::size_t kOptionColumn = 24;
constexpr std::size_t kPresetColumn = 16;

constexpr std::string_view kArguments =
    "Usage: zarn [options] <callsign> <wpm> <filename> [<freq>]\n"
    "       zarn [options] -f FILE <wpm> <filename> [<freq>]\n"
    "       zarn [options] --groups|--calls COUNT <wpm> <filename> [<freq>]\n"
    "Writes a callsign, or with --text a message, in Morse code as a sound file.\n"
    "\n"
    "  <callsign>  letters, digits and /; the first 10 count, a blank ends it\n"
    "  <wpm>       speed in words per minute, above 0\n"
    "  <filename>  the file to write; /dev/stdout writes to a pipe\n"
    "  <freq>      tone in Hz; left out, 0 or below: 1361.975\n"
    "\n"
    "Options go before <callsign>; -- ends them. Defaults are in parentheses.\n";

constexpr std::string_view kPresets =
    "\n"
    "A preset sets the rate, the encoding, the header and the ramp; options after\n"
    "it change them, options before it are overridden.\n";

constexpr std::string_view kScripts =
    "\n"
    "A message (--text, -f) may mix the letters of these scripts, in either case:\n"
    "  Latin         A to Z, and the letters with marks that have codes of their own\n"
    "  Cyrillic      Russian; Ukrainian with --ukrainian\n"
    "  Greek\n"
    "  Hebrew        with the final forms\n"
    "  Arabic        Arabic; Persian with --persian\n"
    "  Japanese      hiragana and katakana in the kana code (Wabun), between the\n"
    "                prosigns <DO> and <SN>, which go in of themselves\n"
    "man zarn has every script's table.\n";

// Scripts read the version from the first line alone.
constexpr std::string_view kLicence = "Copyright the zarn authors. MIT License.\n";

// `head` padded to `column`, then `text` broken at blanks into lines that
// continue at `column`. A head that leaves no two blanks before the column
// has a line of its own, so that it never runs into the text.
void append_wrapped(std::string& out, std::string head, std::string_view text, std::size_t column) {
  if (head.size() + 2 > column) {
    out += head + "\n";
    head.clear();
  }
  std::string line = std::move(head);
  if (line.size() + 2 > column) {
    out += line + "\n";
    line.clear();
  }
  line.resize(column, ' ');
  bool first = true;
  while (!text.empty()) {
    const std::string_view word = text.substr(0, text.find(' '));
    text.remove_prefix(std::min(word.size() + 1, text.size()));
    if (!first && line.size() + 1 + word.size() > kWidth) {
      out += line + "\n";
      line.assign(column, ' ');
      first = true;
    }
    if (!first) line += ' ';
    line += word;
    first = false;
  }
  out += line + "\n";
}

void append_option(std::string& out, const OptionDefinition& definition) {
  std::string head = "  ";
  head += definition.short_name == '\0' ? "    " : std::string{'-', definition.short_name, ','};
  if (definition.short_name != '\0') head += ' ';
  head += "--";
  head += definition.long_name;
  if (!definition.placeholder.empty()) {
    head += ' ';
    head += definition.placeholder;
  }
  append_wrapped(out, head, summary_text(definition), kOptionColumn);
}

// "16000 Hz, s16, WAV, 5 ms ramps. svxlink: a .wav ..., in /usr/share/...".
void append_preset(std::string& out, const Preset& preset) {
  std::string text = std::to_string(preset.rate) + " Hz, ";
  text += encoding_name(preset.encoding);
  text += preset.raw ? ", raw, " : ", WAV, ";
  text += std::to_string(preset.ramp_ms) + " ms ramps. ";
  text += std::string(preset.system) + ": " + std::string(preset.file) + ", in ";
  text += preset.place;
  append_wrapped(out, "  " + std::string(preset.name), text, kPresetColumn);
}

std::string build_help() {
  std::string out(kArguments);
  for (const OptionDefinition& definition : option_table()) append_option(out, definition);
  out += kPresets;
  for (const Preset& preset : presets()) append_preset(out, preset);
  out += kScripts;
  return out;
}

}  // namespace

std::string_view help_text() {
  static const std::string text = build_help();
  return text;
}

std::string_view version_text() {
  static const std::string text =
      "zarn " + std::string(kVersionNumber) + "\n" + std::string(kLicence);
  return text;
}

}  // namespace zarn
