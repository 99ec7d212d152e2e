// The tool's whole rendering of one classic run, header and samples, in
// memory.
#pragma once

#include <gtest/gtest.h>

#include <variant>
#include <vector>

#include "morse/callsign.h"
#include "sound/plan.h"
#include "sound/stream.h"

namespace zarn::testing {

inline std::vector<std::uint8_t> stream_bytes(const SoundPlan& plan) {
  SoundStream stream(plan);
  std::vector<std::uint8_t> bytes;
  for (auto block = stream.next(); !block.empty(); block = stream.next()) {
    bytes.insert(bytes.end(), block.begin(), block.end());
  }
  EXPECT_EQ(bytes.size(), stream.size());
  return bytes;
}

inline std::vector<std::uint8_t> render(std::string_view callsign, float wpm, float freq = 0,
                                        Container container = Container::wav) {
  MorseUnits units;
  EXPECT_FALSE(encode_callsign(callsign, units)) << callsign;
  const auto plan = plan_sound({}, container, units.units, wpm, freq);
  if (!std::holds_alternative<SoundPlan>(plan)) {
    ADD_FAILURE() << callsign << " refused";
    return {};
  }
  return stream_bytes(std::get<SoundPlan>(plan));
}

}  // namespace zarn::testing
