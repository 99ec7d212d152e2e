// The built tool, run as a user or a script runs it, in a scratch folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <memory>
#include <thread>

#include "tests/process.h"

namespace zarn::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsageBytes = " Usage: zarn <callsign> <wpm> <filename> [<freq>]\r\n";

class Cli : public ::testing::Test {
 protected:
  Exit zarn(const std::vector<std::string>& args) { return run_zarn(args, {dir.path(), {}}); }
  fs::path at(const std::string& name) const { return dir.path() / name; }
  std::string severe(int number, const std::string& text, const std::string& file) const {
    return "zarn: severe (" + std::to_string(number) + "): " + text + ", unit 12, file " + file +
           "\n";
  }
  bool folder_is_empty() const { return fs::is_empty(dir.path()); }

  // Runs into a FIFO whose reader does not read, sends `signal` once the pipe
  // is full, then takes in everything that comes through until the end.
  void interrupt_when_stuck(int signal, const Launch& launch, Exit& exit, std::string& heard) {
    const fs::path fifo = at("stuck-" + std::to_string(signal));
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    Process run({"Q1ABC/M", "10", fifo.filename().string()}, launch);
    int queued = 0;
    for (int i = 0; i < 500 && queued < 65536; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      ::ioctl(reader, FIONREAD, &queued);
    }
    ::kill(run.pid(), queued >= 65536 ? signal : SIGKILL);
    ASSERT_GE(queued, 65536);
    ::fcntl(reader, F_SETFL, 0);
    char block[4096];
    for (ssize_t n; (n = ::read(reader, block, sizeof block)) > 0;) {
      heard.append(block, static_cast<std::size_t>(n));
    }
    exit = run.wait();
    ::close(reader);
    fs::remove(fifo);
  }

  // How far the process `pid` has got in writing a file in `folder` (a
  // temporary one too): the furthest offset of its descriptors above the
  // standard streams there, 0 before it opens one.
  static std::uintmax_t write_offset(pid_t pid, const fs::path& folder) {
    std::error_code ec;
    std::uintmax_t furthest = 0;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
      if (std::stoi(fd.path().filename()) <= 2) continue;
      if (fs::read_symlink(fd.path(), ec).parent_path() != folder) continue;
      const auto info = read_file(fd.path().parent_path() / "../fdinfo" / fd.path().filename());
      furthest =
          std::max<std::uintmax_t>(furthest, std::stoull(info.substr(info.find("pos:") + 4)));
    }
    return furthest;
  }

  ScratchDir dir;
};

TEST_F(Cli, TooFewArgumentsPrintOnlyTheUsageLine) {
  for (const auto& args : std::vector<std::vector<std::string>>{{}, {"E"}, {"E", "20"}}) {
    const auto exit = zarn(args);
    EXPECT_EQ(exit.status, 0);
    EXPECT_EQ(exit.out, kUsageBytes);
    EXPECT_EQ(exit.out.size(), 51u);
    EXPECT_EQ(exit.err, "");
    EXPECT_TRUE(folder_is_empty());
  }
}

TEST_F(Cli, WritesTheIdentification) {
  const auto exit = zarn({"Q1ABC", "20", "id.wav"});
  EXPECT_EQ(exit.status, 0);
  EXPECT_EQ(exit.out, "");
  EXPECT_EQ(exit.err, "");
  EXPECT_EQ(fs::file_size(at("id.wav")), 46349u);
}

TEST_F(Cli, FieldsAreCutAndTrimmed) {
  ASSERT_EQ(zarn({"Q1ABCDEFGH", "20", "full.wav"}).status, 0);
  // Past the 10-character field nothing is looked at, not even a bad symbol.
  ASSERT_EQ(zarn({"Q1ABCDEFGH#X", "20", "cut.wav"}).status, 0);
  EXPECT_TRUE(same_bytes(read_file(at("cut.wav")), read_file(at("full.wav"))));

  // The speed field holds 8 characters: 20.000000999 reads as 20.0.
  ASSERT_EQ(zarn({"E", "20", "twenty.wav"}).status, 0);
  ASSERT_EQ(zarn({"E", "20.000000999", "cut-speed.wav"}).status, 0);
  EXPECT_TRUE(same_bytes(read_file(at("cut-speed.wav")), read_file(at("twenty.wav"))));

  // The file name is used whole: cut to 80 characters it named another,
  // existing file, which was overwritten.
  const std::string long_name = std::string(80, 'k') + ".wav";
  write_file(at(long_name.substr(0, 80)), "keep");
  ASSERT_EQ(zarn({"E", "20", long_name}).status, 0);
  EXPECT_TRUE(same_bytes(read_file(at(long_name.substr(0, 80))), "keep"));
  EXPECT_TRUE(same_bytes(read_file(at(long_name)), read_file(at("twenty.wav"))));

  ASSERT_EQ(zarn({"E", "20", "  blanks.wav  "}).status, 0);
  EXPECT_TRUE(fs::exists(at("blanks.wav")));
}

TEST_F(Cli, ArgumentsPastTheFourthChangeNothing) {
  ASSERT_EQ(zarn({"E", "20", "four.wav", "0"}).status, 0);
  ASSERT_EQ(zarn({"E", "20", "more.wav", "0", "extra", "1e99"}).status, 0);
  ASSERT_EQ(zarn({"E", "20", "three.wav"}).status, 0);
  EXPECT_TRUE(same_bytes(read_file(at("more.wav")), read_file(at("four.wav"))));
  EXPECT_TRUE(same_bytes(read_file(at("three.wav")), read_file(at("four.wav"))));
}

TEST_F(Cli, OverwritingALongerFileLeavesExactlyTheNewBytes) {
  ASSERT_EQ(zarn({"E", "20", "fresh.wav"}).status, 0);
  write_file(at("old.wav"), std::string(100000, 'x'));
  ASSERT_EQ(zarn({"E", "20", "old.wav"}).status, 0);
  EXPECT_TRUE(same_bytes(read_file(at("old.wav")), read_file(at("fresh.wav"))));
}

// Replaced through a temporary, a file must still be what it was to
// everything else: its mode, the link that names it, the other hard link
// that shares it.
TEST_F(Cli, AReplacedFileKeepsItsModeAndItsLinks) {
  ASSERT_EQ(zarn({"E", "20", "e.wav"}).status, 0);
  const std::string e = read_file(at("e.wav"));
  fs::create_directory(at("sounds"));
  const struct {
    std::string name;  // written
    std::string seen;  // read back
    std::function<void()> before;
    std::function<void()> after;
  } kCases[] = {
      {"narrow.wav", "narrow.wav",
       [&] { fs::permissions(at("narrow.wav"), fs::perms::owner_read | fs::perms::owner_write); },
       [&] {
         EXPECT_EQ(fs::status(at("narrow.wav")).permissions(),
                   fs::perms::owner_read | fs::perms::owner_write);
       }},
      {"link.wav", "sounds/id.wav", [&] { fs::create_symlink("sounds/id.wav", at("link.wav")); },
       [&] { EXPECT_TRUE(fs::is_symlink(at("link.wav"))); }},
      {"a.wav", "b.wav", [&] { fs::create_hard_link(at("b.wav"), at("a.wav")); },
       [&] { EXPECT_EQ(fs::hard_link_count(at("a.wav")), 2u); }},
  };
  for (const auto& c : kCases) {
    write_file(at(c.seen), std::string(100000, 'o'));
    c.before();
    ASSERT_EQ(zarn({"E", "20", c.name}).status, 0) << c.name;
    c.after();
    EXPECT_TRUE(same_bytes(read_file(at(c.seen)), e)) << c.name;
  }
}

TEST_F(Cli, StopsBeforeTheFileOnAMalformedNumber) {
  const std::string kRead = ", unit -5, file Internal List-Directed Read\n";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } kCases[] = {
      {{"E", "", "f.wav"}, 24, "zarn: severe (24): end-of-file during read" + kRead},
      {{"E", "abc", "f.wav"}, 59, "zarn: severe (59): list-directed I/O syntax error" + kRead},
      {{"E", "1e99", "f.wav"}, 64, "zarn: severe (64): input conversion error" + kRead},
      {{"E", "20", "f.wav", "800Hz"},
       59,
       "zarn: severe (59): list-directed I/O syntax error" + kRead},
      {{"E", "20", "f.wav", " "}, 24, "zarn: severe (24): end-of-file during read" + kRead},
  };
  for (const auto& c : kCases) {
    auto args = c.args;
    const auto created = zarn(args);
    EXPECT_EQ(created.status, c.status) << args[1];
    EXPECT_EQ(created.err, c.err) << args[1];
    EXPECT_TRUE(folder_is_empty()) << args[1];

    write_file(at("f.wav"), "keep");
    EXPECT_EQ(zarn(args).status, c.status);
    EXPECT_EQ(read_file(at("f.wav")), "keep");
    fs::remove(at("f.wav"));
  }
}

TEST_F(Cli, RefusesRunsThatCannotMakeAUsableSound) {
  const std::string kNoTone =
      "the sound would hold no tone: at this tone, level, rate and ramp every sample rounds to "
      "silence";
  const struct {
    std::vector<std::string> args;
    std::string err;
  } kCases[] = {
      {{"E", "0", "f.wav"}, "speed must be above 0 wpm, not 0"},
      {{"E", "-0", "f.wav"}, "speed must be above 0 wpm, not -0"},
      {{"E", ",", "f.wav"}, "speed must be above 0 wpm, not 0"},
      {{"E", "-5", "f.wav"}, "speed must be above 0 wpm, not -5"},
      {{"Q1#", "20", "f.wav"}, "callsign character '#' at position 3 has no Morse code"},
      {{"A\tB", "20", "f.wav"}, "callsign character code 9 at position 2 has no Morse code"},
      {{"0000000000", "0.001", "f.wav"},
       "220 Morse units at 0.001 wpm make a sound too long for a WAV file"},
      // Runs that would write no tone at all.
      {{"", "20", "f.wav"}, "nothing to send: the callsign is blank or starts with a blank"},
      {{" Q1ABC", "20", "f.wav"}, "nothing to send: the callsign is blank or starts with a blank"},
      {{"Q1ABC", "1e6", "f.wav"},
       "speed too high: a dot of 0.0012 ms is shorter than one sample at 11025 Hz"},
      {{"--farnsworth", "1e6", "Q1ABC", "20", "f.wav"},
       "speed too high: a dot of 0.0012 ms is shorter than one sample at 11025 Hz"},
      {{"--volume", "-48.1", "Q1ABC", "20", "f.wav"},
       "option --volume: -48.1 dB is silence in u8 samples, which hold nothing below "
       "-48.09667433239876 dB"},
      {{"-e", "s16", "Q1ABC", "20", "f.wav", "1e-45"},
       "tone of 1.4013e-45 Hz is too low: it moves no sample from silence in the whole sound"},
      // Silent all the same: samples that miss the peaks, a level reached
      // only for an instant, a one-sample dot at phase 0, a tone that moves
      // only during the tail.
      {{"-r", "12000", "--volume", "-47", "Q1ABC", "20", "f.wav", "2000"}, kNoTone},
      {{"--volume", "-48.09", "--ramp", "60", "E", "20", "f.wav"}, kNoTone},
      {{"-r", "8000", "E", "9600", "f.wav"}, kNoTone},
      {{"--tail", "60000", "E", "20", "f.wav", "0.01"}, kNoTone},
  };
  for (const auto& c : kCases) {
    const auto exit = zarn(c.args);
    EXPECT_EQ(exit.status, 2) << c.err;
    EXPECT_EQ(exit.err, "zarn: severe: " + c.err + "\n");
    EXPECT_TRUE(folder_is_empty());
  }
}

// Every refused option or message is one line naming what was wrong, given
// before the file is opened: a new file is not made, an old one not touched.
TEST_F(Cli, RefusesBadOptionsBeforeTheFile) {
  using Args = std::vector<std::string>;
  const struct {
    Args args;
    std::vector<std::string> named;  // in the line
  } kCases[] = {
      {{"--frobnicate", "Q1ABC", "20", "f.wav"}, {"--frobnicate"}},
      {{"--rate=", "Q1ABC", "20", "f.wav"}, {"--rate", "needs a value"}},
      {{"-e"}, {"-e", "needs a value"}},
      {{"-r", "7999", "Q1ABC", "20", "f.wav"}, {"-r", "7999"}},
      {{"--rate", "192001", "Q1ABC", "20", "f.wav"}, {"--rate", "192001"}},
      {{"-r", "8000.5", "Q1ABC", "20", "f.wav"}, {"-r", "8000.5"}},
      {{"-rabc", "Q1ABC", "20", "f.wav"}, {"-r", "abc"}},
      {{"-e", "mp9", "Q1ABC", "20", "f.wav"}, {"-e", "mp9"}},
      {{"--ramp", "-1", "Q1ABC", "20", "f.wav"}, {"--ramp", "-1"}},
      // A dot is 60 ms at 20 wpm, 30 ms at a character speed of 40.
      {{"--ramp", "60.5", "Q1ABC", "20", "f.wav"}, {"--ramp", "60.5", " 60 ms"}},
      {{"--farnsworth", "40", "--ramp", "31", "Q1ABC", "20", "f.wav"}, {"--ramp", "31", " 30 ms"}},
      {{"--farnsworth", "19.5", "Q1ABC", "20", "f.wav"}, {"--farnsworth", "19.5", " 20 wpm"}},
      {{"--farnsworth=0", "Q1ABC", "20", "f.wav"}, {"--farnsworth", "0"}},
      {{"--volume", "1", "Q1ABC", "20", "f.wav"}, {"--volume", "1"}},
      {{"--volume", "-61", "Q1ABC", "20", "f.wav"}, {"--volume", "-61"}},
      {{"--lead", "-1", "Q1ABC", "20", "f.wav"}, {"--lead", "-1"}},
      {{"--lead", "60001", "Q1ABC", "20", "f.wav"}, {"--lead", "60001"}},
      {{"--tail", "-1", "Q1ABC", "20", "f.wav"}, {"--tail", "-1"}},
      {{"--tail", "60001", "Q1ABC", "20", "f.wav"}, {"--tail", "60001"}},
      {{"Q1ABC", "20", "f.wav", "--ramp", "5"}, {"--ramp", "before the callsign"}},
      {{"Q1ABC", "-r", "8000", "20", "f.wav"}, {"-r", "before the callsign"}},
      {{"-r", "8000", "Q1ABC", "20", "f.wav", "4000"}, {"4000 Hz"}},
      {{"-r", "8000", "-e", "s16", "Q1ABC", "20", "f.wav", "6000"}, {"6000 Hz", "4000 Hz"}},
      {{"--text", "Q\xc3\xad", "20", "f.wav"}, {"'\xc3\xad'", "position 2"}},
      {{"--text", "<AR", "20", "f.wav"}, {"unclosed '<'"}},
      {{"--text", "A<>", "20", "f.wav"}, {"empty prosign"}},
      {{"--text", "", "20", "f.wav"}, {"message is empty"}},
      {{"--koch", "41", "--groups", "2", "20", "f.wav"}, {"--koch", "41", "1 to 40"}},
      {{"--koch", "5", "20", "f.wav"}, {"--koch", "needs --groups"}},
      {{"--groups", "2", "--calls", "3", "20", "f.wav"}, {"--calls", "--groups"}},
      {{"--calls", "0", "20", "f.wav"}, {"--calls", "0"}},
      {{"--groups", "3", "--group-size", "6-5", "20", "f.wav"}, {"--group-size", "6-5"}},
      {{"--groups", "3", "--charset", "a#b", "20", "f.wav"}, {"--charset", "a#b"}},
      {{"--koch", "3", "--charset", "ab", "--groups", "2", "20", "f.wav"}, {"--charset", "--koch"}},
      {{"--calls", "3", "--key", "k.txt", "--seed", "-1", "20", "f.wav"}, {"--seed", "-1"}},
      {{"--frame", "Q1ABC", "20", "f.wav"}, {"--frame", "--groups or --calls"}},
      {{"--groups", "2", "--text", "20", "f.wav"}, {"--groups", "--text"}},
      // Refused once the set is made: neither its key nor the sound is written.
      {{"--groups", "2", "--key", "k.txt", "0", "f.wav"}, {"speed must be above 0"}},
      {{"--dot", "0", "Q1ABC", "f.wav"}, {"--dot", "0.001 to 3600"}},
      {{"--mode", "dfcw", "--farnsworth", "30", "Q1ABC", "20", "f.wav"}, {"--farnsworth", "dfcw"}},
      {{"--mode", "dfcw", "--word-gap", "9", "Q1ABC", "20", "f.wav"}, {"--word-gap", "dfcw"}},
      {{"--mode", "dfcw", "--element-gap", "0.1", "--ramp", "7", "Q1ABC", "20", "f.wav"},
       {"--ramp", "--element-gap"}},
      {{"--element-gap", "0.2", "Q1ABC", "20", "f.wav"}, {"--element-gap", "without"}},
      {{"--shift", "4", "Q1ABC", "20", "f.wav"}, {"--shift", "on-off"}},
      {{"--shift", "0", "--mode", "fsk", "Q1ABC", "20", "f.wav"},
       {"--shift", "above 0 up to 1000"}},
      {{"--mode", "fsk", "--shift", "600", "Q1ABC", "20", "f.wav", "600"},
       {"--shift", "not above 0"}},
      {{"--mode", "dfcw", "-r", "8000", "Q1ABC", "20", "f.wav", "3999"}, {"4004 Hz", "4000 Hz"}},
      {{"--carrier-first", "Q1ABC", "20", "f.wav"}, {"--carrier-first", "--carrier"}},
      {{"--gap", "5", "Q1ABC", "20", "f.wav"}, {"--gap", "--repeat"}},
      {{"--repeat", "2.5", "Q1ABC", "20", "f.wav"}, {"--repeat", "whole"}},
      // Past a WAV file's 2 GiB; raw takes it.
      {{"--dot", "3600", "--repeat", "10000", "Q1ABC", "f.wav"}, {"too long for a WAV file"}},
      {{"--noise", "-21", "Q1ABC", "20", "f.wav"}, {"--noise", "-20 to 40"}},
      {{"--noise", "0", "--bandwidth", "49", "Q1ABC", "20", "f.wav"}, {"--bandwidth", "49"}},
      {{"--bandwidth", "300", "Q1ABC", "20", "f.wav"}, {"--bandwidth", "without --noise"}},
      {{"--qsb", "0", "Q1ABC", "20", "f.wav"}, {"--qsb", "above 0"}},
      {{"--qsb-rate", "1", "Q1ABC", "20", "f.wav"}, {"--qsb-rate", "without --qsb"}},
      {{"--seed", "5", "Q1ABC", "20", "f.wav"}, {"--seed", "--noise"}},
      {{"--qrm", "25", "--repeat", "2", "Q1ABC", "20", "f.wav"}, {"--qrm", "beacons"}},
      {{"--qrm", "25", "--text", "CQ", "-5", "f.wav"}, {"speed must be above 0"}},
      {{"--text", "A |w0 B", "20", "f.wav"}, {"'|w0'", "position 3", "above 0"}},
      {{"--text", "A|e15B", "20", "f.wav"}, {"'|e15'", "below the speed"}},
      {{"--text", "A|f6000B", "20", "f.wav"}, {"'|f6000'", "half the sample rate"}},
      {{"--text", "A|v-61B", "20", "f.wav"}, {"'|v-61'", "-60 to 0"}},
      {{"--ramp", "10", "--text", "A|w200B", "20", "f.wav"}, {"'|w200'", "ramp"}},
      {{"--text", "A|x5", "20", "f.wav"}, {"'|x'", "position 2"}},
      {{"--text", "A|w", "20", "f.wav"}, {"'|w'", "position 2"}},
      {{"--mode", "dfcw", "--text", "A|w30B", "20", "f.wav"}, {"'|w30'", "dfcw"}},
  };
  for (const auto& c : kCases) {
    std::string command;
    for (const auto& arg : c.args) command += " " + arg;
    const auto exit = zarn(c.args);
    EXPECT_EQ(exit.status, 2) << command;
    EXPECT_TRUE(exit.err.starts_with("zarn: severe: ")) << exit.err;
    EXPECT_EQ(std::count(exit.err.begin(), exit.err.end(), '\n'), 1) << exit.err;
    EXPECT_TRUE(exit.err.ends_with("\n")) << exit.err;
    for (const auto& name : c.named) EXPECT_NE(exit.err.find(name), std::string::npos) << exit.err;
    EXPECT_TRUE(folder_is_empty()) << command;

    write_file(at("f.wav"), "keep");
    EXPECT_EQ(zarn(c.args).status, 2) << command;
    EXPECT_EQ(read_file(at("f.wav")), "keep") << command;
    fs::remove(at("f.wav"));
  }
}

// A practice set is a message like any other, its key exactly what is sent,
// and its seed, given or drawn, makes it again.
TEST_F(Cli, PracticeSetsAreSentWithTheirKey) {
  const std::vector<std::string> set = {"--groups", "3", "--frame", "--key", "k.txt"};
  const auto with = [&](std::vector<std::string> more) {
    auto args = set;
    args.insert(args.end(), more.begin(), more.end());
    return zarn(args);
  };
  ASSERT_EQ(with({"--seed", "5", "20", "a.wav"}).status, 0);
  const std::string key = read_file(at("k.txt"));
  ASSERT_EQ(std::count(key.begin(), key.end(), '\n'), 5) << key;
  std::string sent = key;
  std::replace(sent.begin(), sent.end(), '\n', ' ');
  ASSERT_EQ(zarn({"--text", sent, "20", "text.wav"}).status, 0);
  EXPECT_TRUE(same_bytes(read_file(at("a.wav")), read_file(at("text.wav"))));

  ASSERT_EQ(with({"--seed", "6", "20", "b.wav"}).status, 0);
  EXPECT_NE(read_file(at("k.txt")), key);
  const auto out = zarn({"--groups", "3", "--frame", "--key", "-", "--seed", "5", "20", "c.wav"});
  EXPECT_EQ(out.out, key);
  EXPECT_TRUE(same_bytes(read_file(at("c.wav")), read_file(at("a.wav"))));

  ASSERT_EQ(with({"20", "drawn.wav"}).status, 0);
  const std::string drawn = read_file(at("k.txt"));
  ASSERT_TRUE(drawn.starts_with("# --seed ")) << drawn;
  const std::string seed = drawn.substr(9, drawn.find('\n') - 9);
  ASSERT_EQ(with({"--seed", seed, "20", "again.wav"}).status, 0);
  EXPECT_TRUE(same_bytes(read_file(at("again.wav")), read_file(at("drawn.wav"))));
  EXPECT_EQ(read_file(at("k.txt")), drawn.substr(drawn.find('\n') + 1));

  // A key that cannot be written stops the run before the sound file.
  write_file(at("f.wav"), "keep");
  const auto lost = zarn({"--calls", "2", "--key", "no/k.txt", "20", "f.wav"});
  EXPECT_EQ(lost.status, 2);
  EXPECT_EQ(lost.err, "zarn: severe: cannot write key file " + at("no/k.txt").string() +
                          ": No such file or directory\n");
  EXPECT_EQ(read_file(at("f.wav")), "keep");
}

TEST_F(Cli, AcceptsValuesAtTheLimits) {
  const std::vector<std::string> kCases[] = {
      {"--ramp", "60", "Q1ABC", "20", "f.wav"},  // a dot long
      {"--farnsworth", "20", "Q1ABC", "20", "f.wav"},
      {"-r", "8000", "Q1ABC", "20", "f.wav", "3999.99"},
  };
  for (const auto& args : kCases) {
    const auto exit = zarn(args);
    EXPECT_EQ(exit.status, 0) << args[0] << " " << args[1] << ": " << exit.err;
    EXPECT_GT(fs::file_size(at("f.wav")), 44u);
  }
}

TEST_F(Cli, HelpAndVersionGoToStandardOutput) {
  for (const std::string help : {"-h", "--help"}) {
    // The arguments after it are not run: no file appears.
    const auto exit = zarn({help, "Q1ABC", "20", "f.wav"});
    EXPECT_EQ(exit.status, 0);
    EXPECT_TRUE(exit.out.starts_with("Usage: zarn [options] <callsign> <wpm> <filename>")) << help;
    EXPECT_EQ(exit.err, "");
    EXPECT_TRUE(folder_is_empty());
  }
  for (const std::string version : {"-V", "--version"}) {
    const auto exit = zarn({version});
    EXPECT_EQ(exit.status, 0);
    EXPECT_TRUE(exit.out.starts_with("zarn " ZARN_PROJECT_VERSION "\n")) << exit.out;
  }
  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  const auto lost = run_zarn({"--help"}, {.cwd = dir.path(), .descriptors = {{1, full}}});
  ::close(full);
  EXPECT_EQ(lost.status, 2);
  EXPECT_EQ(lost.err, "zarn: severe: cannot write to standard output: No space left on device\n");
}

// Options that name the defaults, and a callsign sent as a message, leave
// today's identification as it was; --raw is it without its 44-byte header.
TEST_F(Cli, DefaultsSpelledOutKeepTheClassicBytes) {
  ASSERT_EQ(zarn({"Q1ABC", "20", "id.wav"}).status, 0);
  const std::string classic = read_file(at("id.wav"));
  ASSERT_EQ(classic.size(), 46349u);
  // The start of every classic identification at the default tone: 217 255
  // 220 133. The shaped renderer starts at 128.
  ASSERT_EQ(classic.substr(44, 4), "\xd9\xff\xdc\x85");
  const struct {
    std::vector<std::string> args;
    std::string expected;
  } kCases[] = {
      {{"--text", "Q1ABC", "20", "a.wav"}, classic},
      {{"-r", "11025", "-e", "u8", "Q1ABC", "20", "b.wav"}, classic},
      {{"--raw", "Q1ABC", "20", "c.raw"}, classic.substr(44)},
      {{"--mode", "on-off", "--carrier", "0", "--repeat", "1", "--gap", "0", "Q1ABC", "20",
        "e.wav"},
       classic},
      {{"--sync", "Q1ABC", "20", "d.wav"}, classic},
  };
  for (const auto& c : kCases) {
    ASSERT_EQ(zarn(c.args).status, 0) << c.args[0];
    EXPECT_TRUE(same_bytes(read_file(at(c.args.back())), c.expected)) << c.args[0];
  }
}

// A message file sends what --text sends: its blanks and line ends are word
// gaps, and "-" reads standard input.
TEST_F(Cli, TextFileSendsWhatTextSends) {
  using Args = std::vector<std::string>;
  const struct {
    std::string file;
    Args options;
    std::string text;
  } kCases[] = {
      {"Q1ABC", {}, "Q1ABC"},
      {"\xef\xbb\xbf  Q1ABC\r\n", {"-r", "8000", "--ramp", "5"}, "Q1ABC"},
      {"CQ\r\nDE\t \nQ1ABC\r", {"--farnsworth", "25"}, "CQ DE Q1ABC"},
  };
  for (const auto& c : kCases) {
    write_file(at("m.txt"), c.file);
    Args from_text = c.options, from_file = c.options;
    from_text.insert(from_text.end(), {"--text", c.text, "20", "text.wav"});
    from_file.insert(from_file.end(), {"-f", "m.txt", "20", "file.wav"});
    ASSERT_EQ(zarn(from_text).status, 0) << c.text;
    ASSERT_EQ(zarn(from_file).status, 0) << c.text;
    EXPECT_TRUE(same_bytes(read_file(at("file.wav")), read_file(at("text.wav")))) << c.text;
  }
  ASSERT_EQ(zarn({"Q1ABC", "20", "id.wav"}).status, 0);
  const auto piped = run_zarn({R"(printf 'Q1ABC\n' | "$0" -f - 20 /dev/stdout)"},
                              {.cwd = dir.path(), .shell = true});
  EXPECT_EQ(piped.status, 0);
  EXPECT_TRUE(same_bytes(piped.out, read_file(at("id.wav"))));
}

// A message file that cannot be read or sent is one line and status 2,
// before the output is opened.
TEST_F(Cli, RefusesMessageFilesBeforeTheOutput) {
  fs::create_directories(at("in/folder"));
  write_file(at("in/hash.txt"), "CQ DE\r\nQ1#BC");
  write_file(at("in/big.txt"), "");
  fs::resize_file(at("in/big.txt"), (4 << 20) + 1);
  const std::string big = "it holds more than 4 MiB";
  const struct {
    std::string script;  // in the scratch folder, with the tool as $0
    std::string err;
  } kCases[] = {
      {R"("$0" -f in/missing.txt)", "cannot read message file in/missing.txt: no such file"},
      {R"("$0" -f in/folder)", "cannot read message file in/folder: it is a directory"},
      {R"("$0" -f - < in/folder)", "cannot read standard input: it is a directory"},
      {R"("$0" --text-file=in/big.txt)", "cannot read message file in/big.txt: " + big},
      {R"(head -c 4194305 /dev/zero | "$0" -f -)", "cannot read standard input: " + big},
      {R"("$0" -f in/hash.txt)", "message character '#' at line 2, column 3 has no Morse code"},
  };
  for (const auto& c : kCases) {
    write_file(at("f.wav"), "keep");
    for (const std::string output : {"f.wav", "new.wav"}) {
      const auto exit = run_zarn({c.script + " 20 " + output}, {.cwd = dir.path(), .shell = true});
      EXPECT_EQ(exit.status, 2) << c.script;
      EXPECT_EQ(exit.err, "zarn: severe: " + c.err + "\n");
    }
    EXPECT_EQ(read_file(at("f.wav")), "keep") << c.script;
    EXPECT_FALSE(fs::exists(at("new.wav"))) << c.script;
  }
}

TEST_F(Cli, ReportsFilesThatCannotBeOpened) {
  fs::create_directory(at("folder"));
  fs::create_symlink("loop", at("loop"));
  fs::create_directories(at("real/sub"));
  fs::create_symlink("real/sub", at("link"));
  std::string past_path_max;
  while (past_path_max.size() <= 4096) past_path_max += "d/";
  const struct {
    std::string name;
    int status;
    std::string err;
  } kCases[] = {
      {"nowhere/f.wav", 29, severe(29, "file not found", at("nowhere/f.wav"))},
      {"folder", 9, severe(9, "permission to access file denied", at("folder"))},
      {"folder/", 9, severe(9, "permission to access file denied", at("folder/"))},
      {"   ", 29, severe(29, "file not found", "")},
      {"loop", 43, severe(43, "file name specification error", at("loop"))},
      // The system follows the link before "..": the folder missing is in real/.
      {"link/../nowhere/f.wav", 29, severe(29, "file not found", at("real/nowhere/f.wav"))},
      // Names the system refuses as too long; shown as given past 256.
      {std::string(300, 'n'), 43,
       severe(43, "file name specification error", std::string(300, 'n'))},
      {past_path_max, 43, severe(43, "file name specification error", past_path_max)},
      // Control characters would forge a second line or reach the terminal.
      {"nowhere/a\nzarn: severe (0): forged\x1b[2J\t.wav", 29,
       severe(29, "file not found",
              at("nowhere").string() + "/a\\nzarn: severe (0): forged\\x1b[2J\\t.wav")},
      {"nowhere/\xc2\x9b"
       "1m \xc3\xa9\\.wav",
       29, severe(29, "file not found", at("nowhere").string() + "/\\xc2\\x9b1m \xc3\xa9\\.wav")},
  };
  for (const auto& c : kCases) {
    const auto exit = zarn({"E", "20", c.name});
    EXPECT_EQ(exit.status, c.status) << c.name;
    EXPECT_EQ(exit.err, c.err) << c.name;
  }
}

TEST_F(Cli, ReportsASocketAsNoDevice) {
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string path = at("sock").string();
  ASSERT_LT(path.size(), sizeof addr.sun_path);
  path.copy(addr.sun_path, path.size());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  const auto exit = zarn({"E", "20", "sock"});
  ::close(sock);
  EXPECT_EQ(exit.status, 42);
  EXPECT_EQ(exit.err, severe(42, "no such device", at("sock")));
}

TEST_F(Cli, ReportsAFullDevice) {
  const auto exit = zarn({"E", "20", "/dev/full"});
  EXPECT_EQ(exit.status, 38);
  EXPECT_EQ(exit.err,
            "zarn: No space left on device\n" + severe(38, "error during write", "/dev/full"));
}

TEST_F(Cli, FileSizeLimitIsAWriteErrorNotAKill) {
  ASSERT_EQ(zarn({"Q1ABC", "20", "whole.wav"}).status, 0);
  const std::string whole = read_file(at("whole.wav"));
  const std::string old(100000, 'o');
  // A sound that cannot fit leaves the old file as it was, or no file: half
  // of a sound was left in a new or empty file, half of each in an old one.
  for (const std::optional<std::string>& before : {std::optional<std::string>(), {""}, {old}}) {
    if (before) write_file(at("big.wav"), *before);
    const auto exit = run_zarn({"Q1ABC", "20", "big.wav"}, {dir.path(), 1024});
    EXPECT_EQ(exit.signal, 0);
    EXPECT_EQ(exit.status, 38);
    EXPECT_EQ(exit.err, "zarn: File too large\n" + severe(38, "error during write", at("big.wav")));
    EXPECT_EQ(fs::exists(at("big.wav")), before.has_value());
    if (before) {
      EXPECT_TRUE(same_bytes(read_file(at("big.wav")), *before));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), before ? 2 : 1);
    fs::remove(at("big.wav"));
  }
  // Appended through the shell's descriptor, the log kept a broken sound.
  write_file(at("ids.log"), "log\n");
  const auto appended = run_zarn({R"("$0" Q1ABC 20 /dev/stdout >> ids.log)"},
                                 {.cwd = dir.path(), .file_size_limit = 1024, .shell = true});
  EXPECT_EQ(appended.err,
            "zarn: File too large\n" + severe(38, "error during write", "/dev/stdout"));
  EXPECT_EQ(read_file(at("ids.log")), "log\n");
}

TEST_F(Cli, WritesToNonRegularFiles) {
  ASSERT_EQ(zarn({"E", "20", "e.wav"}).status, 0);
  const auto to_stdout = zarn({"E", "20", "/dev/stdout"});
  EXPECT_EQ(to_stdout.status, 0);
  EXPECT_TRUE(same_bytes(to_stdout.out, read_file(at("e.wav"))));
  EXPECT_EQ(zarn({"E", "20", "/dev/null"}).status, 0);

  ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
  std::string heard;
  std::thread listener([&] { heard = read_file(at("fifo")); });
  const auto through_fifo = zarn({"E", "20", "fifo"});
  listener.join();
  EXPECT_EQ(through_fifo.status, 0);
  EXPECT_TRUE(same_bytes(heard, read_file(at("e.wav"))));

  // A parent's non-blocking pipe, read only once it is full, failed at 64 KiB.
  ASSERT_EQ(zarn({"Q1ABC", "10", "long.wav"}).status, 0);
  int pipe[2];
  ASSERT_EQ(::pipe2(pipe, O_NONBLOCK | O_CLOEXEC), 0);
  Process run({"Q1ABC", "10", "/dev/stdout"}, {.cwd = dir.path(), .descriptors = {{1, pipe[1]}}});
  ::close(pipe[1]);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ::fcntl(pipe[0], F_SETFL, 0);
  EXPECT_TRUE(
      same_bytes(read_file("/dev/fd/" + std::to_string(pipe[0])), read_file(at("long.wav"))));
  EXPECT_EQ(run.wait().status, 0);
  ::close(pipe[0]);
}

// /dev/stdout, /dev/fd/N and the like are the caller's descriptors: written
// where the caller's redirection points, at its offset and in its append
// mode, never cut, locked or closed. Reopened by name they lost a log's
// contents, a prefix before and a suffix after.
TEST_F(Cli, NamesOfTheCallersDescriptorsWriteThroughThem) {
  ASSERT_EQ(zarn({"E", "20", "e.wav"}).status, 0);
  const std::string e = read_file(at("e.wav"));
  std::string log;
  for (int i = 0; log.size() < 105000; ++i) log += "log line " + std::to_string(i) + "\n";
  const std::string old(100000, 'o');
  const struct {
    std::string script;  // in the scratch folder, with the tool as $0
    std::string before;  // in `out`
    int status;
    std::string after;
    std::string err;
  } kCases[] = {
      {R"("$0" E 20 /dev/stdout >> out)", log, 0, log + e, ""},
      {R"({ echo prefix; "$0" E 20 /dev/stdout; echo suffix; } > out)", log, 0,
       "prefix\n" + e + "suffix\n", ""},
      {R"("$0" E 20 /dev/stdout 1<> out)", old, 0, e + old.substr(e.size()), ""},
      {R"("$0" E 20 /dev/fd/5 5>> out)", log, 0, log + e, ""},
      {R"(exec 7>> out; "$0" E 20 /proc/self/fd/7)", log, 0, log + e, ""},
      {R"(exec "$0" E 20 /proc/$$/fd/1 >> out)", log, 0, log + e, ""},
      {R"("$0" E 20 /proc/thread-self/fd/2 2>> out)", log, 0, log + e, ""},
      {R"(ln -sf /dev/stdout link && "$0" E 20 link >> out)", log, 0, log + e, ""},
      {R"((cd /dev && exec "$0" E 20 fd/1) >> out)", log, 0, log + e, ""},
      // No lock outlives the run on the caller's open file.
      {R"(exec 7>> out; "$0" E 20 /dev/fd/7 && "$0" E 20 out)", log, 0, e, ""},
      {R"("$0" E 20 /dev/fd/5 5< out)", log, 47, log,
       severe(47, "write to READONLY file", "/dev/fd/5")},
      {R"("$0" E 20 /dev/stdin < out)", log, 47, log,
       severe(47, "write to READONLY file", "/dev/stdin")},
      {R"("$0" E 20 /dev/fd/5 5< .)", log, 9, log,
       severe(9, "permission to access file denied", "/dev/fd/5")},
      // A closed descriptor's name is opened by name, as it always was.
      {R"("$0" E 20 /dev/stdout >&-)", log, 29, log, severe(29, "file not found", "/dev/stdout")},
  };
  for (const auto& c : kCases) {
    write_file(at("out"), c.before);
    const auto exit = run_zarn({c.script}, {.cwd = dir.path(), .shell = true});
    EXPECT_EQ(exit.status, c.status) << c.script;
    EXPECT_EQ(exit.err, c.err) << c.script;
    EXPECT_TRUE(same_bytes(read_file(at("out")), c.after)) << c.script;
  }
}

TEST_F(Cli, ASecondWriterGivesWayToTheFirst) {
  write_file(at("busy.wav"), "first run's bytes");
  const int fd = ::open(at("busy.wav").c_str(), O_RDWR);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  const auto exit = zarn({"E", "20", "busy.wav"});
  ::close(fd);
  EXPECT_EQ(exit.status, 30);
  EXPECT_EQ(exit.err, "zarn: Resource temporarily unavailable\n" +
                          severe(30, "open failure", at("busy.wav")));
  EXPECT_EQ(read_file(at("busy.wav")), "first run's bytes");
}

TEST_F(Cli, ConcurrentWritersLeaveOneWholeRun) {
  const std::vector<std::string> callsigns = {"E",     "T",     "Q1ABC",  "K0DEF/M",
                                              "W2GHI", "N3JKL", "VE4MNO", "G5PQR"};
  std::vector<std::string> alone;
  for (const auto& call : callsigns) {
    ASSERT_EQ(zarn({call, "20", "alone.wav"}).status, 0);
    alone.push_back(read_file(at("alone.wav")));
  }
  const std::string busy_err =
      "zarn: Resource temporarily unavailable\n" + severe(30, "open failure", at("shared.wav"));
  for (int round = 0; round < 20; ++round) {
    std::vector<std::unique_ptr<Process>> runs;
    for (const auto& call : callsigns) {
      runs.push_back(std::make_unique<Process>(std::vector<std::string>{call, "20", "shared.wav"},
                                               Launch{dir.path(), {}}));
    }
    std::vector<std::size_t> succeeded;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      const auto exit = runs[i]->wait();
      if (exit.status == 0) {
        succeeded.push_back(i);
      } else {
        EXPECT_EQ(exit.status, 30) << "round " << round;
        EXPECT_EQ(exit.err, busy_err) << "round " << round;
      }
    }
    ASSERT_FALSE(succeeded.empty());
    const auto file = read_file(at("shared.wav"));
    EXPECT_TRUE(std::any_of(succeeded.begin(), succeeded.end(),
                            [&](std::size_t i) { return file == alone[i]; }))
        << "round " << round << ": the file is no single run's output";
  }
}

TEST_F(Cli, ConsoleInterruptsEndTheRunBySignal) {
  const struct {
    int signal;
    const char* event;
  } kCases[] = {{SIGINT, "control-C"},
                {SIGQUIT, "control-BREAK"},
                {SIGHUP, "window-CLOSE"},
                {SIGTERM, "termination-REQUEST"}};
  for (const auto& c : kCases) {
    Exit exit;
    std::string heard;
    interrupt_when_stuck(c.signal, {dir.path(), {}}, exit, heard);
    EXPECT_EQ(exit.signal, c.signal);
    EXPECT_EQ(exit.err,
              std::string("zarn: error (200): program aborting due to ") + c.event + " event\n");
  }
}

// Ended mid-write by any signal it can catch, a run leaves the old file
// whole and nothing beside it, and a caller's file as it was where the run
// began: the new bytes were followed by the old ones, SIGUSR1 and SIGALRM
// left everything half written. A signal the caller ignores does not stop
// the run.
TEST_F(Cli, AnInterruptedOverwriteLeavesNoOldBytes) {
  const std::string old(100000, 'o');
  const std::string kRun = R"(exec "$0" -r 192000 -e s16 E 0.01 )";
  constexpr std::uintmax_t kWhole = 184320048;  // 480 s at 192 kHz, 16-bit, and its header
  const struct {
    std::string script;
    int signal;    // sent once the run has written 256 KiB
    int ended_by;  // the signal, or 0 for a run that went on to the end
    std::uintmax_t size;
  } kCases[] = {
      {kRun + "old.wav", SIGTERM, SIGTERM, old.size()},
      {kRun + "old.wav", SIGUSR1, SIGUSR1, old.size()},
      {kRun + "old.wav", SIGALRM, SIGALRM, old.size()},
      {kRun + "/dev/stdout >>old.wav", SIGUSR2, SIGUSR2, old.size()},
      {kRun + "/dev/stdout >>old.wav", SIGALRM, SIGALRM, old.size()},
      // Overwritten from its start: cut back to its size, never below.
      {kRun + "/dev/stdout 1<>old.wav", SIGTERM, SIGTERM, old.size()},
      {"trap '' TERM; " + kRun + "old.wav", SIGTERM, 0, kWhole},
  };
  for (const auto& c : kCases) {
    write_file(at("old.wav"), old);
    Process run({c.script}, {.cwd = dir.path(), .shell = true});
    for (int i = 0; i < 5000 && write_offset(run.pid(), dir.path()) < (256 << 10); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(run.pid(), c.signal);
    EXPECT_EQ(run.wait().signal, c.ended_by) << c.script;
    EXPECT_EQ(fs::file_size(at("old.wav")), c.size) << c.script;
    if (c.script.find(">>") != std::string::npos) {
      EXPECT_TRUE(same_bytes(read_file(at("old.wav")), old)) << c.script;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << c.script;
  }
}

// An interrupted append through the caller's descriptor left the room
// reserved for the whole sound allocated past the log's end, and half a sound
// in the log.
TEST_F(Cli, AnInterruptedAppendGivesBackItsReservedRoom) {
  write_file(at("log"), "old\n");
  Process run({R"(exec "$0" -r 192000 -e s16 E 0.01 /dev/stdout >>log)"},
              {.cwd = dir.path(), .shell = true});
  for (int i = 0; i < 5000 && fs::file_size(at("log")) < 4096; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ::kill(run.pid(), SIGTERM);
  EXPECT_EQ(run.wait().signal, SIGTERM);
  struct stat st {};
  ASSERT_EQ(::stat(at("log").c_str(), &st), 0);
  EXPECT_EQ(read_file(at("log")), "old\n");
  EXPECT_LE(st.st_blocks * 512, 1 << 20) << st.st_size;
}

// Started with standard streams closed, the file took descriptor 2 and the
// interrupt's line went into the sound.
TEST_F(Cli, TheSoundNeverTakesAStandardStreamsDescriptor) {
  ASSERT_EQ(zarn({"Q1ABC/M", "10", "whole.wav"}).status, 0);
  const std::string whole = read_file(at("whole.wav"));
  using Closed = std::vector<std::pair<int, int>>;
  for (const auto& closed : {Closed{{2, -1}}, Closed{{0, -1}, {1, -1}, {2, -1}}}) {
    Exit exit;
    std::string heard;
    interrupt_when_stuck(SIGINT, {.cwd = dir.path(), .descriptors = closed}, exit, heard);
    EXPECT_EQ(exit.signal, SIGINT);
    EXPECT_GE(heard.size(), 65536u);
    EXPECT_TRUE(same_bytes(heard, whole.substr(0, heard.size()))) << closed.size() << " closed";
  }
}

TEST_F(Cli, AUsageLineThatCannotBeWrittenIsAFailure) {
  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  const std::string lost = "zarn: severe: cannot write to standard output: ";
  const struct {
    std::vector<std::pair<int, int>> descriptors;
    std::string err;
  } kCases[] = {
      {{{1, full}}, lost + "No space left on device\n"},
      {{{1, -1}}, lost + "Bad file descriptor\n"},
      {{{1, -1}, {2, -1}}, ""},  // nowhere to say it; the status still tells
  };
  for (const auto& c : kCases) {
    const auto exit = run_zarn({"E", "20"}, {.cwd = dir.path(), .descriptors = c.descriptors});
    EXPECT_EQ(exit.status, 2) << c.err;
    EXPECT_EQ(exit.err, c.err);
  }
  ::close(full);
}

}  // namespace
}  // namespace zarn::testing
