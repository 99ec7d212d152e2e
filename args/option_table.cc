#include "args/option_table.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "args/presets.h"

namespace zarn {
namespace {

using Kind = ValueRule::Kind;

constexpr std::string_view kTextHelp =
    "<callsign> is a message: also blanks, . , : ? ' - / ( ) \" = + @, prosigns such as <AR> and "
    "the letters of the scripts below";

std::string range_text(const ValueRule& rule) {
  const std::string low = number_text(rule.low);
  if (bounded(rule)) {
    const std::string range =
        (rule.low_included ? low + ".." : "above " + low + " up to ") + number_text(rule.high);
    return rule.kind == Kind::whole ? "whole, " + range : range;
  }
  if (!rule.low_included) return "above " + low + std::string(rule.later);
  return rule.later.empty() ? low + " or more" : low + std::string(rule.later);
}

}  // namespace

// Long names are matched whole, never abbreviated: --ra could be --rate,
// --ramp or --raw, and a new option would change what an old command line
// means. Built on first use, as the presets' names come from another file.
std::span<const OptionDefinition> option_table() {
  // One row an option; clang-format would spread each over seven lines.
  // clang-format off
  static const std::array<OptionDefinition, 48> kTable = {{
      {OptionName::rate, "rate", 'r', "HZ", "samples per second", rules::kRate, "11025"},
      {OptionName::encoding, "encoding", 'e', "ENC", "sample encoding", {.kind = Kind::choice, .choices = kEncodingNames}, "u8"},
      {OptionName::ramp, "ramp", '\0', "MS", "rise and fall of each tone in ms", rules::kRamp, "0", &SoundOptions::ramp_ms},
      {OptionName::farnsworth, "farnsworth", '\0', "WPM", "character speed", rules::kCharacterSpeed, "<wpm>"},
      {OptionName::word_gap, "word-gap", '\0', "UNITS", "word gap in units of the character speed", rules::kWordGap, "7", &SoundOptions::word_gap_units},
      {OptionName::volume, "volume", '\0', "DB", "tone level in dB (u8: -48.09 and up)", rules::kVolume, "0", &SoundOptions::volume_db},
      {OptionName::lead, "lead", '\0', "MS", "silence before the Morse in ms", rules::kSilence, "0", &SoundOptions::lead_ms},
      {OptionName::tail, "tail", '\0', "MS", "silence after the Morse in ms", rules::kSilence, "0", &SoundOptions::tail_ms},
      {OptionName::dot, "dot", '\0', "SECONDS", "dot length in seconds, in place of <wpm>", rules::kDot, ""},
      {OptionName::mode, "mode", '\0', "MODE", "keying", rules::kMode, "on-off"},
      {OptionName::shift, "shift", '\0', "HZ", "fsk key-up below, dfcw dash above the tone", rules::kShift, "5", &SoundOptions::shift_hz},
      {OptionName::element_gap, "element-gap", '\0', "DOTS", "dfcw gap between elements in dots", rules::kElementGap, "1/3", &SoundOptions::element_gap_dots},
      {OptionName::carrier, "carrier", '\0', "SECONDS", "key-down after the message", rules::kCarrier, "0", &SoundOptions::carrier_seconds},
      {OptionName::carrier_first, "carrier-first", '\0', "", "the carrier before the message", {}, ""},
      {OptionName::repeat, "repeat", '\0', "N", "copies of the whole in the file", rules::kRepeat, "1", &SoundOptions::repeats},
      {OptionName::gap, "gap", '\0', "SECONDS", "between copies", rules::kRepeatGap, "0", &SoundOptions::repeat_gap_seconds},
      {OptionName::noise, "noise", '\0', "SNR_DB", "noise at this signal-to-noise ratio in dB, in the filter of --bandwidth", rules::kNoise, ""},
      {OptionName::bandwidth, "bandwidth", '\0', "HZ", "the receiver's filter around the tone", rules::kBandwidth, "500", &SoundOptions::bandwidth_hz},
      {OptionName::qsb, "qsb", '\0', "DEPTH_DB", "fading of the signal, down to this many dB", rules::kQsbDepth, "", &SoundOptions::qsb_depth_db},
      {OptionName::qsb_rate, "qsb-rate", '\0', "HZ", "fades a second of --qsb", rules::kQsbRate, "0.2", &SoundOptions::qsb_rate_hz},
      {OptionName::qrm, "qrm", '\0', "WPM", "a second station 10 dB weaker in the band, random calls at WPM", rules::kQrm, ""},
      {OptionName::raw, "raw", '\0', "", "write the samples alone, without the WAV header (not for mp3, vorbis, opus, flac)", {}, ""},
      {OptionName::bitrate, "bitrate", '\0', "KBPS", "bitrate of mp3 (8..160 below 32000 Hz, 64 below 16000, 32..320 from it), vorbis (as the rate allows) and opus (6..256)", rules::kBitrate, "mp3 32, vorbis quality 0, opus 24"},
      {OptionName::title, "title", '\0', "TEXT", "the title tag (UTF-8): ID3v2 in mp3, Vorbis comments in vorbis, opus, flac, LIST/INFO in WAV", rules::kTag, ""},
      {OptionName::artist, "artist", '\0', "TEXT", "the artist tag", rules::kTag, ""},
      {OptionName::album, "album", '\0', "TEXT", "the album tag", rules::kTag, ""},
      {OptionName::track, "track", '\0', "TEXT", "the track number tag", rules::kTag, ""},
      {OptionName::comment, "comment", '\0', "TEXT", "the comment tag", rules::kTag, ""},
      {OptionName::split_minutes, "split-minutes", '\0', "M", "a message in parts of about M minutes, cut between words: NAME-001.EXT and on, at most 999", rules::kSplitMinutes, ""},
      {OptionName::split_at, "split-at", '\0', "MARKER", "a message in parts, a new one at each line that holds MARKER", {.kind = Kind::text}, ""},
      {OptionName::preset, "preset", 'p', "NAME", "the sound options a system plays best", {.kind = Kind::choice, .choices = preset_names()}, ""},
      {OptionName::text, "text", '\0', "", kTextHelp, {}, ""},
      {OptionName::text_file, "text-file", 'f', "FILE", "read the message from FILE (- is standard input)", {.kind = Kind::text}, ""},
      {OptionName::sync, "sync", '\0', "", "have the file on the disk before exiting, kept through a power loss", {}, ""},
      {OptionName::ch, "ch", '\0', "", "in a message, C H is the one character CH, ----", {}, ""},
      {OptionName::fold, "fold", '\0', "", "in a message, a letter with marks but no code of its own is sent as its plain letter (I for I with an acute)", {}, ""},
      {OptionName::ukrainian, "ukrainian", '\0', "", "in a message, Cyrillic is Ukrainian, not Russian", {}, ""},
      {OptionName::persian, "persian", '\0', "", "in a message, the Arabic script is Persian, not Arabic", {}, ""},
      {OptionName::groups, "groups", '\0', "COUNT", "random groups in place of <callsign>", rules::kPracticeCount, ""},
      {OptionName::group_size, "group-size", '\0', "SIZE", "characters a group: N, or N-M for N to M, each 1..20", rules::kGroupSize, "5"},
      {OptionName::charset, "charset", '\0', "CHARS", "the characters of the groups", rules::kCharset, "A-Z 0-9"},
      {OptionName::koch, "koch", '\0', "LESSON", "the groups from a Koch lesson's characters", rules::kKochLesson, ""},
      {OptionName::calls, "calls", '\0', "COUNT", "random callsigns in place of <callsign>", rules::kPracticeCount, ""},
      {OptionName::frame, "frame", '\0', "", "send VVV = before and <AR> after", {}, ""},
      {OptionName::key, "key", '\0', "FILE", "write what is sent to FILE, one item a line (- is standard output)", {.kind = Kind::text}, ""},
      {OptionName::seed, "seed", '\0', "N", "the seed of the set and of the band conditions; left out, one is drawn (and put in the key)", rules::kSeed, ""},
      {OptionName::help, "help", 'h', "", "print this summary and exit", {}, ""},
      {OptionName::version, "version", 'V', "", "print the version and exit", {}, ""},
  }};
  // clang-format on
  return kTable;
}

std::string summary_text(const OptionDefinition& definition) {
  const ValueRule& rule = definition.value;
  std::string text(definition.description);
  if (rule.kind == Kind::choice) text += ": " + choices_text(rule.choices, " or ");
  if (rule.kind == Kind::whole || rule.kind == Kind::number) text += ", " + range_text(rule);
  if (!definition.default_text.empty()) text += " (" + std::string(definition.default_text) + ")";
  return text;
}

}  // namespace zarn
