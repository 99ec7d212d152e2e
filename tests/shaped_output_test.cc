// Whole runs with sound options, in memory, measured on the samples they
// write: timing, ramps, level, silence around the Morse and the pad byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "cli/run.h"
#include "tests/support/memory_sink.h"

namespace zarn {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = 48000;

// round(seconds x rate): the length of a sound.
std::size_t samples_in(double seconds) {
  return static_cast<std::size_t>(std::llround(seconds * kRate));
}

struct Written {
  std::vector<std::uint8_t> bytes;
  std::uint64_t announced = 0;
};

Written run_in_memory(const std::vector<std::string>& args) {
  const std::vector<std::string_view> views(args.begin(), args.end());
  testing::MemorySink sink;
  const Outcome outcome = run(views, sink);
  EXPECT_FALSE(outcome.failure) << (outcome.failure ? outcome.failure->lines : "");
  return {sink.bytes, sink.announced};
}

// The 16-bit samples of a raw s16 run.
std::vector<int> s16_samples(std::vector<std::string> args) {
  args.insert(args.begin(), {"-r", "48000", "-e", "s16", "--raw"});
  const auto bytes = run_in_memory(args).bytes;
  std::vector<int> samples;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    samples.push_back(static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8));
  }
  return samples;
}

std::string_view code_of(char c) {
  static const std::map<char, std::string_view> kCodes = {
      {'Q', "--.-"}, {'1', ".----"}, {'A', ".-"}, {'B', "-..."},
      {'C', "-.-."}, {'D', "-.."},   {'E', "."}};
  return kCodes.at(c);
}

// The key instants of `text` (words of the characters above, one blank
// apart) at s wpm overall and c wpm per character: a dot is 1.2 / c s, a
// dash three, one dot between elements; the 19 gap units of a 50-unit word
// share ta = (60 c - 37.2 s) / (c s) s, 3 ta / 19 after each character and
// 7 ta / 19 after each word. The last character's gap ends the sound.
struct Timing {
  std::vector<double> downs, ups;
  double end = 0;
};

Timing expected_timing(std::string_view text, double s, double c) {
  const double dot = 1.2 / c;
  const double ta = (60 * c - 37.2 * s) / (c * s);
  Timing timing;
  double t = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ' ') continue;
    const std::string_view code = code_of(text[i]);
    for (std::size_t j = 0; j < code.size(); ++j) {
      if (j > 0) t += dot;
      timing.downs.push_back(t);
      t += code[j] == '-' ? 3 * dot : dot;
      timing.ups.push_back(t);
    }
    t += (i + 1 < text.size() && text[i + 1] == ' ' ? 7 : 3) * ta / 19;
  }
  timing.end = t;
  return timing;
}

// The first sample of each key-down run and each key-up run. A sine sample
// may round to zero inside a tone, but never three in a row, so only three
// or more zeros are a key-up run.
struct Runs {
  std::vector<std::size_t> downs, ups;
};

Runs measured_runs(const std::vector<int>& samples) {
  Runs runs;
  bool down = false;
  for (std::size_t k = 0; k < samples.size(); ++k) {
    if (!down && samples[k] != 0) {
      down = true;
      runs.downs.push_back(k);
    } else if (down && samples[k] == 0 && k + 2 < samples.size() && samples[k + 1] == 0 &&
               samples[k + 2] == 0) {
      down = false;
      runs.ups.push_back(k);
    }
  }
  return runs;
}

// Each edge falls on the first sample at or after its instant, give or take
// the one sample that a zero crossing next to it can move it.
void expect_edges(const std::vector<std::size_t>& measured, const std::vector<double>& instants,
                  const std::string& what) {
  ASSERT_EQ(measured.size(), instants.size()) << what;
  for (std::size_t i = 0; i < measured.size(); ++i) {
    EXPECT_NEAR(double(measured[i]), std::ceil(instants[i] * kRate), 1) << what << " edge " << i;
  }
}

TEST(ShapedOutput, KeyRunsFollowFarnsworthTiming) {
  const struct {
    std::string text;
    std::vector<std::string> options;
    double wpm, character_wpm;
  } kCases[] = {
      {"Q1ABC", {"--farnsworth", "25"}, 15, 25},
      {"Q1ABC", {"--farnsworth", "15"}, 15, 15},
      {"Q1ABC", {"--farnsworth", "40"}, 12.5, 40},
      {"DE Q1ABC", {"--text", "--farnsworth", "25"}, 15, 25},
      {"DE Q1ABC", {"--text", "--farnsworth", "18"}, 18, 18},
  };
  for (const auto& c : kCases) {
    auto args = c.options;
    args.insert(args.end(), {c.text, std::to_string(c.wpm), "f.raw"});
    const auto samples = s16_samples(args);
    const Timing timing = expected_timing(c.text, c.wpm, c.character_wpm);
    const Runs runs = measured_runs(samples);
    const std::string what =
        c.text + " at " + std::to_string(c.wpm) + "/" + std::to_string(c.character_wpm) + " wpm";
    expect_edges(runs.downs, timing.downs, what + " key-down");
    expect_edges(runs.ups, timing.ups, what + " key-up");
    EXPECT_EQ(samples.size(), samples_in(timing.end)) << what;
  }
}

// (1 - cos)/2 rising over the ramp from each key-down instant and falling
// over the ramp from each key-up instant.
double envelope(double t, const Timing& timing, double ramp) {
  for (std::size_t i = 0; i < timing.downs.size(); ++i) {
    const double a = timing.downs[i], b = timing.ups[i];
    if (t < a || t >= b + ramp) continue;
    if (t < a + ramp) return (1 - std::cos(kPi * (t - a) / ramp)) / 2;
    if (t < b) return 1;
    return (1 + std::cos(kPi * (t - b) / ramp)) / 2;
  }
  return 0;
}

// The envelope is the sample over the full-scale sine at its instant. On the
// steepest part of a 5 ms ramp it moves 0.0065 a sample at 48000 Hz, so
// 0.01 holds every half-amplitude point to about 1.5 samples of its instant,
// 2.5 ms after the key goes down or up.
TEST(ShapedOutput, RampsRiseAndFallAroundEachKeyInstant) {
  for (const double ramp_ms : {5.0, 1.0}) {
    const auto samples =
        s16_samples({"--ramp", std::to_string(ramp_ms), "Q1ABC", "20", "f.raw", "700"});
    const Timing timing = expected_timing("Q1ABC", 20, 20);
    ASSERT_EQ(samples.size(), samples_in(timing.end));
    int compared = 0;
    for (std::size_t k = 0; k < samples.size(); ++k) {
      const double t = double(k) / kRate;
      const double sine = std::sin(2 * kPi * 700 * t);
      if (std::abs(sine) < 0.25) continue;  // too small to tell the envelope by
      ASSERT_NEAR(samples[k] / (32767 * sine), envelope(t, timing, ramp_ms / 1000), 0.01)
          << "ramp " << ramp_ms << " ms, sample " << k;
      ++compared;
    }
    EXPECT_GT(compared, int(samples.size()) / 2);
  }
}

TEST(ShapedOutput, VolumeSetsThePeakLevel) {
  const struct {
    std::string encoding;
    double full_scale;
  } kEncodings[] = {{"s16", 32767}, {"u8", 127}};
  for (const auto& e : kEncodings) {
    for (const double db : {0.0, -6.0, -20.0, e.encoding == "u8" ? -48.0 : -60.0}) {
      // 700 Hz at 48000 Hz puts a sample on every crest of the sine.
      const auto bytes = run_in_memory({"-r", "48000", "-e", e.encoding, "--raw", "--volume",
                                        std::to_string(db), "Q1ABC", "20", "f.raw", "700"})
                             .bytes;
      std::vector<int> levels;
      for (std::size_t i = 0; i < bytes.size(); i += e.encoding == "s16" ? 2 : 1) {
        levels.push_back(e.encoding == "s16"
                             ? static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8)
                             : bytes[i] - 128);
      }
      const double peak = e.full_scale * std::pow(10, db / 20);
      EXPECT_NEAR(*std::max_element(levels.begin(), levels.end()), peak, 1) << e.encoding << db;
      EXPECT_NEAR(*std::min_element(levels.begin(), levels.end()), -peak, 1) << e.encoding << db;
    }
  }
}

std::size_t leading_zeros(const std::vector<int>& samples) {
  return std::find_if(samples.begin(), samples.end(), [](int s) { return s != 0; }) -
         samples.begin();
}
std::size_t trailing_zeros(const std::vector<int>& samples) {
  return std::find_if(samples.rbegin(), samples.rend(), [](int s) { return s != 0; }) -
         samples.rbegin();
}

TEST(ShapedOutput, LeadAndTailAddSilenceAroundTheMorse) {
  // Hard keying, and a tone whose first keyed sample at 0.1 s is not zero.
  const auto bare = s16_samples({"--ramp", "0", "Q1ABC", "20", "f.raw"});
  const auto padded = s16_samples({"--lead", "100", "--tail", "200", "Q1ABC", "20", "f.raw"});
  EXPECT_EQ(leading_zeros(padded), 4800u);
  EXPECT_EQ(trailing_zeros(padded), trailing_zeros(bare) + 9600);
  EXPECT_EQ(padded.size(), bare.size() + 4800 + 9600);
  EXPECT_EQ(padded.size(), samples_in(0.1 + 4.2 + 0.2));
}

std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | std::uint32_t(bytes[at + 3]) << 24;
}

// RIFF wants an even data chunk: an odd one gets a zero byte after it, which
// the RIFF size counts and the data size does not. A 0.125 ms tail at 8000 Hz
// is one sample more. Raw samples have no chunk to pad.
// An odd sample count of one-byte samples gets one more silent sample, so
// that no data chunk is ever odd and no pad byte is ever written.
TEST(ShapedOutput, OddCountsOfOneByteSamplesGetOneMoreSilentSample) {
  const struct {
    std::string encoding;
    std::size_t header;
  } kEncodings[] = {{"u8", 44}, {"ulaw", 58}, {"alaw", 58}};
  for (const auto& e : kEncodings) {
    for (const std::string tail : {"0.125", "0.25"}) {
      const std::vector<std::string> options = {"-r", "8000", "-e", e.encoding, "--tail", tail};
      auto args = options;
      args.insert(args.end(), {"E", "20", "f.wav"});
      const auto wav = run_in_memory(args);
      args.insert(args.begin(), "--raw");
      const auto raw = run_in_memory(args);
      const std::size_t samples = 1920 + 2;  // 1921 (a 0.125 ms tail) goes up to 1922
      const std::string what = e.encoding + " with a " + tail + " ms tail";
      ASSERT_EQ(wav.bytes.size(), e.header + samples) << what;
      EXPECT_EQ(wav.announced, wav.bytes.size()) << what;
      EXPECT_EQ(le32(wav.bytes, 4), wav.bytes.size() - 8) << what;
      EXPECT_EQ(le32(wav.bytes, e.header - 4), samples) << what;
      EXPECT_EQ(wav.bytes.back(), wav.bytes[wav.bytes.size() - 2]) << what;  // silence
      EXPECT_EQ(raw.bytes.size(), samples) << what;
      EXPECT_EQ(raw.announced, raw.bytes.size()) << what;
      EXPECT_TRUE(std::equal(raw.bytes.begin(), raw.bytes.end(), wav.bytes.begin() + e.header))
          << what;
    }
  }
}

}  // namespace
}  // namespace zarn
