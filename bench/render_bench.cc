// Rendering throughput, in samples per second, for a typical identification
// and a long one; the plain one-sample-at-a-time loop alongside for scale.
#include <benchmark/benchmark.h>

#include "audio/renderer.h"
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

void render_plainly(benchmark::State& state, const char* callsign, float wpm) {
  zarn::MorseUnits units;
  const zarn::TonePlan tone = plan(callsign, wpm, units);
  for (auto _ : state) benchmark::DoNotOptimize(zarn::testing::plain_sample_loop(tone, units));
  state.SetItemsProcessed(state.iterations() * tone.sample_count);
}

BENCHMARK_CAPTURE(render, typical_Q1ABC_20wpm, "Q1ABC", 20)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(render, long_0000000000_1wpm, "0000000000", 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(render_plainly, typical_Q1ABC_20wpm, "Q1ABC", 20)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(render_plainly, long_0000000000_1wpm, "0000000000", 1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
