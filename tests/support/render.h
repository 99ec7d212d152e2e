// The tool's whole rendering of one classic run, header and samples, in
// memory.
#pragma once

#include <gtest/gtest.h>

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
  const auto units = encode_callsign(callsign);
  EXPECT_TRUE(units) << callsign;
  if (!units) return {};
  const auto plan = plan_sound({}, container, units->units, wpm, freq);
  if (!plan) {
    ADD_FAILURE() << callsign << " refused";
    return {};
  }
  return stream_bytes(*plan);
}

}  // namespace zarn::testing
