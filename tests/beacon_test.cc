// Beacon sounds measured on their rendered samples: the frequency of every
// element, the level and smoothness of an FSK carrier, and the edges of
// every element over many hours.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "args/command.h"
#include "core/pipeline.h"
#include "morse/table.h"
#include "render/keyed_renderer.h"

namespace zarn {
namespace {

constexpr double kPi = 3.14159265358979323846;

PlannedSound planned(std::vector<std::string_view> args) {
  auto command = read_command(args, CommandForm{.names_file = false, .reads_files = false});
  EXPECT_TRUE(command.has_value());
  auto sound = plan_request(command->request);
  EXPECT_TRUE(sound.has_value());
  return *std::move(sound);
}

const KeyedSound& keyed(const PlannedSound& sound) {
  return std::get<KeyedSound>(sound.plan().renderer);
}

// Every tone of the sound, in order, as its schedule gives it.
std::vector<ToneSpan> tones_of(const PlannedSound& sound) {
  auto schedule = key_schedule_for(keyed(sound), sound.plan().units);
  std::vector<ToneSpan> tones;
  while (auto tone = schedule->next_tone()) tones.push_back(*tone);
  return tones;
}

// The whole sound's values, silence as 0: for short sounds only.
std::vector<double> samples_of(const PlannedSound& sound) {
  auto schedule = key_schedule_for(keyed(sound), sound.plan().units);
  KeyedRenderer renderer(keyed(sound).tone, std::move(schedule));
  std::vector<double> values(static_cast<std::size_t>(sound.plan().sample_count));
  for (std::size_t done = 0; done < values.size(); done += 65536) {
    const std::size_t count = std::min<std::size_t>(65536, values.size() - done);
    renderer.render(std::span(values).subspan(done, count),
                    [&](std::size_t first, std::size_t n, bool sounding) {
                      if (!sounding) std::fill_n(values.begin() + done + first, n, 0.0);
                    });
  }
  return values;
}

struct Measured {
  double hz;     // exact for a steady sine within half a turn of the asked
  double level;  // of the part at the asked frequency: the sine's amplitude
};

// Each tone, measured as the sound is rendered: the phase turned between
// the first and last quarter of its steady part against the frequency
// asked, and the level there.
std::vector<Measured> measure(const PlannedSound& sound, const std::vector<ToneSpan>& tones,
                              const std::vector<double>& asked) {
  const double rate = keyed(sound).tone.sample_rate;
  std::vector<std::complex<double>> head(tones.size()), tail(tones.size());
  const auto visit_sample = [&](std::size_t i, std::int64_t k, double value) {
    const std::int64_t begin = tones[i].steady + 1, end = tones[i].fall - 1;
    const std::int64_t quarter = (end - begin) / 4;
    if (k < begin || k >= end || (k >= begin + quarter && k < end - quarter)) return;
    const auto turn = std::polar(value, -2 * kPi * asked[i] * double(k - begin) / rate);
    (k < begin + quarter ? head[i] : tail[i]) += turn;
  };
  KeyedRenderer renderer(keyed(sound).tone, key_schedule_for(keyed(sound), sound.plan().units));
  std::vector<double> values(65536);
  std::size_t i = 0;
  for (std::int64_t done = 0; done < sound.plan().sample_count && i < tones.size(); done += 65536) {
    renderer.render(values, [](std::size_t, std::size_t, bool) {});
    for (std::int64_t k = done; k < done + 65536; ++k) {
      while (i < tones.size() && tones[i].fall <= k) ++i;
      if (i < tones.size()) visit_sample(i, k, values[static_cast<std::size_t>(k - done)]);
    }
  }
  std::vector<Measured> measured;
  for (std::size_t t = 0; t < tones.size(); ++t) {
    const std::int64_t begin = tones[t].steady + 1, end = tones[t].fall - 1;
    const double distance = double(end - begin - (end - begin) / 4);
    const double turned = std::arg(tail[t] * std::conj(head[t]));
    measured.push_back({asked[t] + turned / (2 * kPi) * rate / distance,
                        2 * std::abs(head[t]) / double((end - begin) / 4)});
  }
  return measured;
}

std::string letter_of(const std::string& pattern) {
  for (const char c : std::string_view("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/")) {
    if (pattern_for(static_cast<unsigned char>(c)) == pattern) return std::string(1, c);
  }
  return "?";
}

TEST(Beacon, EveryElementOfAnHourHoldsItsFrequency) {
  const struct {
    const char* mode;
    const char* copies;  // an hour or more of QRSS3
    double key_up_hz;    // FSK's tone between elements
    double dash_hz;
  } kCases[] = {{"fsk", "18", 995, 1000}, {"dfcw", "42", 0, 1005}};
  for (const auto& c : kCases) {
    const auto sound = planned({"-r", "8000", "--dot", "3", "--mode", c.mode, "--repeat", c.copies,
                                "--gap", "10", "Q1ABC", "1000"});
    EXPECT_GE(sound.plan().sample_count, 3600 * 8000) << c.mode;
    const auto tones = tones_of(sound);
    std::vector<double> asked;
    for (const ToneSpan& tone : tones) {
      const bool up = c.key_up_hz > 0 && tone.voice == 1;
      asked.push_back(up ? c.key_up_hz : tone.voice == 1 ? c.dash_hz : 1000);
    }
    const auto measured = measure(sound, tones, asked);
    double worst = 0;
    for (std::size_t i = 0; i < tones.size(); ++i) {
      worst = std::max(worst, std::abs(measured[i].hz - asked[i]));
    }
    EXPECT_LT(worst, 0.05) << c.mode;
  }
}

// Dots and dashes told apart by their measured frequencies alone, a gap of
// a dot or more ending a letter.
TEST(Beacon, DfcwReadBackFromItsFrequenciesSpellsTheCallsign) {
  const auto sound = planned({"-r", "8000", "--dot", "3", "--mode", "dfcw", "Q1ABC", "800"});
  const auto tones = tones_of(sound);
  const auto dot = measure(sound, tones, std::vector<double>(tones.size(), 800));
  const auto dash = measure(sound, tones, std::vector<double>(tones.size(), 805));
  std::string spelled, pattern;
  for (std::size_t i = 0; i < tones.size(); ++i) {
    if (i > 0 && tones[i].rise - tones[i - 1].fall >= 24000) {
      spelled += letter_of(pattern);
      pattern.clear();
    }
    pattern += dash[i].level > dot[i].level ? "1110" : "10";
  }
  EXPECT_EQ(spelled + letter_of(pattern), "Q1ABC");
}

// Between and across elements the carrier keeps its level, and no step
// between samples is larger than its highest tone makes.
TEST(Beacon, FskCarrierNeverDipsOrClicks) {
  const auto sound =
      planned({"-r", "8000", "-e", "s16", "--mode", "fsk", "--shift", "40", "--carrier", "2",
               "--repeat", "2", "--gap", "1", "Q1ABC", "25", "700"});
  const auto x = samples_of(sound);
  const double largest_step = 2 * std::sin(kPi * 700 / 8000) * (1 + 1e-9);
  const std::int64_t cycle = 8000 / 660 + 1;
  for (std::size_t k = 0; k + 1 < x.size(); ++k) {
    ASSERT_LE(std::abs(x[k + 1] - x[k]), largest_step) << "at sample " << k;
  }
  for (std::size_t k = 0; k + cycle < x.size(); k += cycle) {
    double peak = 0;
    for (std::size_t i = k; i < k + cycle; ++i) peak = std::max(peak, std::abs(x[i]));
    ASSERT_GE(peak, 0.95) << "from sample " << k;
  }
}

// Over ten hours each edge lies on the first sample at or after its exact
// instant: 3 s dots at 8000 Hz are 24000 samples, DFCW's third of one 8000,
// so every edge is a whole number of 8000 from its copy's start.
TEST(Beacon, EdgesStayOnTheirSamplesForTenHours) {
  const struct {
    const char* mode;
    const char* copies;
    std::int64_t dash;
  } kCases[] = {{"on-off", "180", 72000}, {"dfcw", "420", 24000}};
  for (const auto& c : kCases) {
    const auto sound = planned({"-r", "8000", "--raw", "--dot", "3", "--mode", c.mode, "--repeat",
                                c.copies, "--gap", "3", "Q1ABC"});
    EXPECT_GE(sound.plan().sample_count, 10 * 3600 * 8000LL) << c.mode;
    const auto tones = tones_of(sound);
    const auto& layout = std::get<BeaconTiming>(keyed(sound).timing).layout;
    const auto off_grid = [](std::int64_t samples) {
      const std::int64_t r = samples % 8000;
      return std::min(r, 8000 - r);
    };
    std::int64_t worst = off_grid(layout.copy_samples);
    EXPECT_EQ(layout.gap_samples, 3 * 8000) << c.mode;
    for (const ToneSpan& tone : tones) {
      worst =
          std::max({worst, off_grid(tone.rise - tone.origin), off_grid(tone.fall - tone.origin)});
      const bool dash = tone.fall - tone.rise > 30000 || tone.voice == 1;
      worst = std::max(worst, std::abs(tone.fall - tone.rise - (dash ? c.dash : 24000)));
    }
    EXPECT_LE(worst, 1) << c.mode;
  }
}

}  // namespace
}  // namespace zarn
