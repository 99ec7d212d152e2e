// Rendering throughput, in samples per second, for a typical identification
// and a long one, each with the renderer the tool uses for it (the classic
// accumulators up to 79,956 samples, the drift-free renderer past that), and
// for a long shaped sound; the plain one-sample-at-a-time loops alongside for
// scale.
#include <benchmark/benchmark.h>

#include "audio/drift_free_renderer.h"
#include "audio/renderer.h"
#include "audio/shaped_plan.h"
#include "audio/tone_plan.h"
#include "morse/encoder.h"
#include "support/plain_sample_loop.h"

namespace {

zarn::TonePlan plan(const char* callsign, float wpm, zarn::MorseUnits& units) {
  zarn::encode_morse(callsign, units);
  return std::get<zarn::TonePlan>(zarn::plan_tone(wpm, 0, units.count()));
}

void render(benchmark::State& state, const char* callsign, float wpm) {
  zarn::MorseUnits units;
  const zarn::TonePlan tone = plan(callsign, wpm, units);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(tone.sample_count));
  for (auto _ : state) {
    zarn::ToneRenderer(tone, units.used()).fill(out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * tone.sample_count);
}

void render_drift_free(benchmark::State& state, const char* callsign, float wpm) {
  zarn::MorseUnits units;
  const zarn::TonePlan tone = plan(callsign, wpm, units);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(tone.sample_count));
  for (auto _ : state) {
    zarn::DriftFreeRenderer(tone.unit_seconds, tone.tone_hz, units.used(), tone.sample_count)
        .fill(out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * tone.sample_count);
}

// 48 kHz, 16-bit, 5 ms ramps, as bench/compare.sh times it.
void render_shaped(benchmark::State& state, const char* callsign, float wpm) {
  zarn::MorseUnits units;
  zarn::encode_morse(callsign, units);
  zarn::SoundOptions options;
  options.rate = 48000;
  options.encoding = zarn::Encoding::s16;
  options.ramp_ms = 5;
  const auto sound = std::get<zarn::ShapedSound>(zarn::plan_shaped(options, units.used(), wpm, 0));
  std::vector<std::uint8_t> out(static_cast<std::size_t>(sound.sample_count) * 2);
  for (auto _ : state) {
    zarn::ShapedRenderer(sound).fill(out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * sound.sample_count);
}

void render_plainly(benchmark::State& state, const char* callsign, float wpm) {
  zarn::MorseUnits units;
  const zarn::TonePlan tone = plan(callsign, wpm, units);
  for (auto _ : state) benchmark::DoNotOptimize(zarn::testing::plain_sample_loop(tone, units));
  state.SetItemsProcessed(state.iterations() * tone.sample_count);
}

void render_plain_drift_free(benchmark::State& state, const char* callsign, float wpm) {
  zarn::MorseUnits units;
  const zarn::TonePlan tone = plan(callsign, wpm, units);
  for (auto _ : state) {
    benchmark::DoNotOptimize(zarn::testing::plain_drift_free_loop(tone, units));
  }
  state.SetItemsProcessed(state.iterations() * tone.sample_count);
}

BENCHMARK_CAPTURE(render, typical_Q1ABC_20wpm, "Q1ABC", 20)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(render_drift_free, long_0000000000_1wpm, "0000000000", 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(render_shaped, long_0000000000_4_4wpm, "0000000000", 4.4f)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(render_plainly, typical_Q1ABC_20wpm, "Q1ABC", 20)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(render_plain_drift_free, long_0000000000_1wpm, "0000000000", 1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
