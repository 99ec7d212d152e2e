// The tool's whole rendering of one run, header and samples, in memory.
#pragma once

#include <gtest/gtest.h>

#include <variant>
#include <vector>

#include "audio/tone_plan.h"
#include "audio/write_wav.h"
#include "morse/encoder.h"
#include "output/sink.h"

namespace zarn::testing {

inline std::vector<std::uint8_t> render(std::string_view callsign, float wpm, float freq = 0) {
  MorseUnits units;
  EXPECT_FALSE(encode_morse(callsign, units)) << callsign;
  const auto plan = plan_tone(wpm, freq, units.count());
  EXPECT_TRUE(std::holds_alternative<TonePlan>(plan)) << callsign;
  MemorySink sink;
  EXPECT_FALSE(write_wav(std::get<TonePlan>(plan), units.used(), Container::wav, sink)) << callsign;
  return sink.bytes;
}

}  // namespace zarn::testing
