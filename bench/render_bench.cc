// Rendering throughput, in samples per second, of whole sounds through the
// stream the tool writes from: a typical identification (the classic
// accumulators), a long one (the classic unit grid) and a long sound with
// options; the plain one-sample-at-a-time loops alongside for scale.
#include <benchmark/benchmark.h>

#include "morse/callsign.h"
#include "sound/plan.h"
#include "sound/stream.h"
#include "support/plain_sample_loop.h"

namespace {

void render(benchmark::State& state, const char* callsign, float wpm,
            const zarn::SoundOptions& options) {
  const zarn::MorseUnits units = *zarn::encode_callsign(callsign);
  const zarn::SoundPlan plan =
      *zarn::plan_sound(options, zarn::Container::raw, units.units, wpm, 0);
  for (auto _ : state) {
    zarn::SoundStream stream(plan);
    for (auto block = stream.next(); !block.empty(); block = stream.next()) {
      benchmark::DoNotOptimize(block.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * plan.sample_count);
}

// 48 kHz, 16-bit, 5 ms ramps, as bench/compare.sh times it.
zarn::SoundOptions shaped() {
  zarn::SoundOptions options;
  options.rate = 48000;
  options.encoding = zarn::Encoding::s16;
  options.ramp_ms = 5;
  return options;
}

template <auto kLoop>
void render_plainly(benchmark::State& state, const char* callsign, float wpm) {
  const zarn::MorseUnits units = *zarn::encode_callsign(callsign);
  const zarn::ClassicTone tone = zarn::classic_tone(wpm, 0);
  const auto count = static_cast<std::size_t>(
      zarn::classic_samples(static_cast<std::int64_t>(units.units.size()), tone.unit_seconds));
  for (auto _ : state) benchmark::DoNotOptimize(kLoop(tone, count, units));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}

BENCHMARK_CAPTURE(render, typical_Q1ABC_20wpm, "Q1ABC", 20, {})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(render, long_0000000000_1wpm, "0000000000", 1, {})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(render, shaped_0000000000_4_4wpm, "0000000000", 4.4f, shaped())
    ->Unit(benchmark::kMillisecond);
void plain_accumulated(benchmark::State& state, const char* callsign, float wpm) {
  render_plainly<zarn::testing::plain_sample_loop>(state, callsign, wpm);
}
void plain_unit_grid(benchmark::State& state, const char* callsign, float wpm) {
  render_plainly<zarn::testing::plain_drift_free_loop>(state, callsign, wpm);
}

BENCHMARK_CAPTURE(plain_accumulated, typical_Q1ABC_20wpm, "Q1ABC", 20)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(plain_unit_grid, long_0000000000_1wpm, "0000000000", 1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
