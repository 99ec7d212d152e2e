#include "args/options.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/input_error_text.h"

namespace zarn {
namespace {

using Args = std::vector<std::string_view>;

auto fields(const Options& o) {
  const SoundOptions& s = o.sound;
  return std::tie(s.rate, s.encoding, s.ramp_ms, s.farnsworth_wpm, s.volume_db, s.lead_ms,
                  s.tail_ms, s.word_gap_units, o.container, o.text, o.text_file, o.help, o.version);
}

// What a preset sets.
struct Set {
  int rate;
  Encoding encoding;
  double ramp_ms;
  bool raw;
};
Options& set(Options& o, const Set& set) {
  o.sound.rate = set.rate;
  o.sound.encoding = set.encoding;
  o.sound.ramp_ms = set.ramp_ms;
  o.container = set.raw ? Container::raw : Container::wav;
  return o;
}

TEST(ReadOptions, ReadsOptionsInEveryForm) {
  const struct {
    Args options;
    void (*expect)(Options&);
  } kCases[] = {
      {{"-r", "8000"}, [](Options& o) { o.sound.rate = 8000; }},
      {{"-r192000"}, [](Options& o) { o.sound.rate = 192000; }},
      {{"--rate", "8000", "--rate=016000"}, [](Options& o) { o.sound.rate = 16000; }},
      // Any form of a whole number that the manual allows for values.
      {{"-r", "8e3"}, [](Options& o) { o.sound.rate = 8000; }},
      {{"--rate=+8000.0"}, [](Options& o) { o.sound.rate = 8000; }},
      {{"-r1.92E5"}, [](Options& o) { o.sound.rate = 192000; }},
      {{"-e", "ulaw"}, [](Options& o) { o.sound.encoding = Encoding::ulaw; }},
      {{"-ealaw"}, [](Options& o) { o.sound.encoding = Encoding::alaw; }},
      {{"--encoding=s16"}, [](Options& o) { o.sound.encoding = Encoding::s16; }},
      {{"--ramp", "2.5e1"}, [](Options& o) { o.sound.ramp_ms = 25; }},
      {{"--farnsworth", ".5"}, [](Options& o) { o.sound.farnsworth_wpm = 0.5; }},
      {{"--volume", "-60", "--lead=60000"},
       [](Options& o) {
         o.sound.volume_db = -60;
         o.sound.lead_ms = 60000;
       }},
      {{"--volume=+0", "--tail=5."}, [](Options& o) { o.sound.tail_ms = 5; }},
      {{"--word-gap", "7.5"}, [](Options& o) { o.sound.word_gap_units = 7.5; }},
      {{"--raw", "--text"},
       [](Options& o) {
         o.container = Container::raw;
         o.text = true;
       }},
      {{"-f", "-"}, [](Options& o) { o.text_file = "-"; }},
      {{"--text-file=m.txt"}, [](Options& o) { o.text_file = "m.txt"; }},
      // A preset overrides the options before it; those after it override it.
      {{"--raw", "-r", "8000", "--volume=-6", "-p", "svxlink"},
       [](Options& o) {
         set(o, {16000, Encoding::s16, 5, false}).sound.volume_db = -6;
       }},
      {{"--preset=asterisk", "-r", "16000", "--ramp=2"},
       [](Options& o) {
         set(o, {16000, Encoding::ulaw, 2, true});
       }},
      {{"-e", "gsm", "-r", "8000"},
       [](Options& o) {
         set(o, {8000, Encoding::gsm, 0, false});
       }},
      {{"-r", "8000", "-egsm"},
       [](Options& o) {
         set(o, {8000, Encoding::gsm, 0, false});
       }},
      {{"-pasterisk-gsm"},
       [](Options& o) {
         set(o, {8000, Encoding::gsm, 5, true});
       }},
      // Without -r a codec's own rate, never MPEG 2.5's; with it, the one asked for.
      {{"-e", "mp3"},
       [](Options& o) {
         set(o, {22050, Encoding::mp3, 0, false});
       }},
      {{"-r", "11025", "-e", "mp3"},
       [](Options& o) {
         set(o, {11025, Encoding::mp3, 0, false});
       }},
      {{"-e", "opus"},
       [](Options& o) {
         set(o, {16000, Encoding::opus, 0, false});
       }},
      {{"-e", "flac"},
       [](Options& o) {
         set(o, {11025, Encoding::flac, 0, false});
       }},
      {{"-h", "--help"}, [](Options& o) { o.help = true; }},
      {{"-V"}, [](Options& o) { o.version = true; }},
      {{"--version"}, [](Options& o) { o.version = true; }},
  };
  for (const auto& c : kCases) {
    Args args = c.options;
    args.insert(args.end(), {"Q1ABC", "20", "id.wav"});
    const auto result = read_options(args);
    ASSERT_TRUE(result) << c.options[0];
    Options expected;
    c.expect(expected);
    expected.positional = {"Q1ABC", "20", "id.wav"};
    EXPECT_EQ(fields(*result), fields(expected)) << c.options[0];
    EXPECT_EQ(result->positional, expected.positional) << c.options[0];
  }
}

std::string refusal(const Args& args) {
  const auto result = read_options(args);
  if (result) return "(accepted)";
  return option_error_text(result.error());
}

// One byte more than a tag may hold.
const std::string kLongTag(1025, 'x');

TEST(ReadOptions, RefusesNamingTheOptionAsWritten) {
  const std::pair<Args, std::string> kCases[] = {
      {{"-r", "7999"}, "option -r: 7999 is not a whole number from 8000 to 192000"},
      {{"--rate=192001"}, "option --rate: 192001 is not a whole number from 8000 to 192000"},
      {{"--rate", "8000.5"}, "option --rate: 8000.5 is not a whole number from 8000 to 192000"},
      {{"-r", "7.9999e3"}, "option -r: 7.9999e3 is not a whole number from 8000 to 192000"},
      {{"-r", "99999999999"}, "option -r: 99999999999 is not a whole number from 8000 to 192000"},
      {{"-eU8"}, "option -e: U8 is not one of u8, s16, ulaw, alaw, gsm, mp3, vorbis, opus, flac"},
      {{"-p", "svxlink2"},
       "option -p: svxlink2 is not one of svxlink, asterisk, asterisk-wav, asterisk-gsm"},
      {{"--word-gap", "6.99"}, "option --word-gap: 6.99 is not a number of 7 or more"},
      // GSM 06.10 has one rate, whichever option comes last.
      {{"-e", "gsm"}, "option -e: gsm needs -r 8000"},
      {{"-r", "8000", "--encoding=gsm", "-r", "16000"},
       "option -r: 16000 is not 8000, the only rate gsm takes"},
      {{"-p", "asterisk-gsm", "-r", "11025"},
       "option -r: 11025 is not 8000, the only rate gsm takes"},
      {{"-r", "16000", "-p", "asterisk-gsm", "-r", "8000", "-e", "gsm"}, "(accepted)"},
      {{"--text", "-f", "m.txt"}, "option -f cannot go with --text"},
      // The codecs' rates and bitrates, their own containers, UTF-8 tags.
      {{"-e", "opus", "-r", "44100"},
       "option -e: opus needs -r 8000, 12000, 16000, 24000 or 48000 Hz"},
      {{"-e", "mp3", "-r", "44100", "--bitrate", "24"},
       "option --bitrate: 24 is not a bitrate mp3 takes at 44100 Hz: 32, 40, 48, 56, 64, 80, 96, "
       "112, 128, 160, 192, 224, 256 or 320"},
      {{"-e", "mp3", "--bitrate", "192"},
       "option --bitrate: 192 is not a bitrate mp3 takes at 22050 Hz: 8, 16, 24, 32, 40, 48, 56, "
       "64, 80, 96, 112, 128, 144 or 160"},
      {{"-e", "mp3", "-r", "8000", "--bitrate", "80"},
       "option --bitrate: 80 is not a bitrate mp3 takes at 8000 Hz: 8, 16, 24, 32, 40, 48, 56 or "
       "64"},
      {{"-e", "opus", "--bitrate", "300"},
       "option --bitrate: 300 is not a whole number from 6 to 256"},
      {{"-e", "vorbis", "--bitrate", "8"},
       "option --bitrate: 8 is not a bitrate vorbis takes at 16000 Hz: a whole number from 16 to "
       "99"},
      {{"-e", "vorbis", "-r", "96000", "--bitrate", "64"},
       "option --bitrate: 64 is not taken at 96000 Hz, where vorbis codes at quality 0 without "
       "one"},
      {{"--bitrate", "1000"}, "option --bitrate: 1000 is not a whole number from 6 to 320"},
      {{"-e", "flac", "--bitrate", "64"}, "option --bitrate: 64 needs -e mp3, vorbis or opus"},
      {{"--raw", "-e", "mp3"}, "option --raw cannot go with -e mp3"},
      {{"--raw", "--artist", "A"}, "option --artist cannot go with --raw"},
      {{"-p", "asterisk", "--title", "T"}, "option --title cannot go with -p"},
      {{"--title", "\xff"}, "option --title: \\xff is not UTF-8 text of up to 1024 bytes"},
      {{"--comment", "\xc0\xaf"},
       "option --comment: \\xc0\\xaf is not UTF-8 text of up to 1024 bytes"},
      {{"--album", std::string_view(kLongTag)},
       "option --album: " + std::string(kLongTag) + " is not UTF-8 text of up to 1024 bytes"},
      {{"--ramp", "-0.001"}, "option --ramp: -0.001 is not a number of 0 or more"},
      {{"--ramp", " 1"}, "option --ramp:  1 is not a number of 0 or more"},
      {{"--ramp", "0x10"}, "option --ramp: 0x10 is not a number of 0 or more"},
      {{"--ramp", "inf"}, "option --ramp: inf is not a number of 0 or more"},
      {{"--ramp", "1e999"}, "option --ramp: 1e999 is not a number of 0 or more"},
      {{"--ramp", "5ms"}, "option --ramp: 5ms is not a number of 0 or more"},
      {{"--farnsworth", "0"}, "option --farnsworth: 0 is not a number above 0"},
      {{"--volume", "0.1"}, "option --volume: 0.1 is not a number from -60 to 0"},
      {{"--volume", "-60.5"}, "option --volume: -60.5 is not a number from -60 to 0"},
      {{"--lead", "60000.5"}, "option --lead: 60000.5 is not a number from 0 to 60000"},
      {{"--tail", "-1"}, "option --tail: -1 is not a number from 0 to 60000"},
      {{"--ramp"}, "option --ramp needs a value"},
      {{"--ramp="}, "option --ramp needs a value, and \"\" is empty"},
      {{"-e", ""}, "option -e needs a value, and \"\" is empty"},
      {{"-f", ""}, "option -f needs a value, and \"\" is empty"},
      {{"--raw=1"}, "option --raw takes no value"},
      {{"-hV"}, "option -h takes no value"},
      {{"--frobnicate=3"}, "unknown option --frobnicate"},
      {{"--ra"}, "unknown option --ra"},
      {{"-x"}, "unknown option -x"},
      {{"-"}, "unknown option -"},
      {{"--bogus", "--help"}, "unknown option --bogus"},
      // Whatever the user typed stays on one line of the terminal.
      {{"--volume", "a\nb\t\x1b\\\x7f"},
       "option --volume: a\\nb\\t\\x1b\\\\x7f is not a number from -60 to 0"},
      {{"--r\xc3\xa9te\xff\xc2\x85"}, "unknown option --r\xc3\xa9te\\xff\\xc2\\x85"},
  };
  for (const auto& [args, text] : kCases) EXPECT_EQ(refusal(args), text);
}

// Options after the callsign are refused; negative numbers and other words
// that start with '-' stay positional, as they always were, and so does
// everything after "--".
TEST(ReadOptions, TellsOptionsAfterTheCallsignFromNumbers) {
  const std::pair<Args, std::string_view> kRefused[] = {
      {{"Q1ABC", "20", "id.wav", "--ramp"}, "--ramp"},
      {{"Q1ABC", "--ramp=5", "id.wav"}, "--ramp"},
      {{"Q1ABC", "20", "-r8000", "id.wav"}, "-r"},
      {{"Q1ABC", "20", "id.wav", "-eulaw"}, "-e"},
      {{"Q1ABC", "-h"}, "-h"},
      {{"Q1ABC", "20", "id.wav", "600", "-V"}, "-V"},
      {{"Q1ABC", "20", "id.wav", "600", "x", "--text"}, "--text"},
  };
  for (const auto& [args, option] : kRefused) {
    EXPECT_EQ(refusal(args), std::string(option) + ": options go before the callsign");
  }
  const Args kPositional[] = {{"Q1ABC", "-5", "id.wav", "-1e3"},
                              {"Q1ABC", "-.5", "id.wav", "-0"},
                              {"Q1ABC", "20", "--foo", "--"},
                              {"Q1ABC", "20", "-", "-x", "-E5"},
                              {"--", "-r8000", "--", "--ramp"}};
  for (const Args& args : kPositional) {
    const auto result = read_options(args);
    ASSERT_TRUE(result) << args[1];
    EXPECT_EQ(result->positional, Args(args.begin() + (args[0] == "--"), args.end()));
  }
}

TEST(SoundOptions, IsClassicOnlyWithEveryDefault) {
  const Args kClassic[] = {
      {}, {"-r11025", "-eu8", "--ramp=0", "--volume=-0", "--lead=0", "--tail=0", "--word-gap=7"}};
  const Args kChanged[] = {
      {"-r8000"},      {"-es16"},           {"--ramp=1"},   {"--farnsworth=20"},
      {"--volume=-1"}, {"--lead=1"},        {"--tail=1"},   {"--word-gap=7.1"},
      {"--dot=0.06"},  {"--mode=fsk"},      {"--shift=4"},  {"--element-gap=0"},
      {"--carrier=1"}, {"--carrier-first"}, {"--repeat=2"}, {"--gap=1"}};
  for (const auto& args : kClassic) {
    EXPECT_TRUE(read_options(args)->sound.is_classic());
  }
  for (const auto& args : kChanged) {
    EXPECT_FALSE(read_options(args)->sound.is_classic()) << args[0];
  }
}

}  // namespace
}  // namespace zarn
