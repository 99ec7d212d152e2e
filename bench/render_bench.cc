// Rendering throughput, in samples per second, for a typical identification
// and a long one; the plain one-sample-at-a-time loop alongside for scale.
#include <benchmark/benchmark.h>

#include "audio/audio.h"
#include "tests/reference_synth.h"

namespace {

zarn::Tone plan(const char* callsign, float wpm, zarn::Elements& elements) {
  zarn::morse(callsign, elements);
  return std::get<zarn::Tone>(zarn::plan_tone(wpm, 0, elements.count));
}

void render(benchmark::State& state, const char* callsign, float wpm) {
  zarn::Elements elements;
  const zarn::Tone tone = plan(callsign, wpm, elements);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(tone.samples));
  for (auto _ : state) {
    zarn::Synth(tone, elements.used()).fill(out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * tone.samples);
}

void render_plainly(benchmark::State& state, const char* callsign, float wpm) {
  zarn::Elements elements;
  const zarn::Tone tone = plan(callsign, wpm, elements);
  for (auto _ : state) benchmark::DoNotOptimize(zarn::testing::reference_samples(tone, elements));
  state.SetItemsProcessed(state.iterations() * tone.samples);
}

BENCHMARK_CAPTURE(render, typical_Q1ABC_20wpm, "Q1ABC", 20)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(render, long_0000000000_1wpm, "0000000000", 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(render_plainly, typical_Q1ABC_20wpm, "Q1ABC", 20)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(render_plainly, long_0000000000_1wpm, "0000000000", 1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
