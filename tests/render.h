// The tool's whole rendering of one run, header and samples, in memory.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "audio/audio.h"

namespace zarn::testing {

inline std::vector<std::uint8_t> render(std::string_view callsign, float wpm, float freq = 0) {
  Elements elements;
  EXPECT_FALSE(morse(callsign, elements)) << callsign;
  MemorySink sink;
  EXPECT_FALSE(genzarn(wpm, elements, freq, "out.wav", sink)) << callsign;
  return sink.bytes;
}

}  // namespace zarn::testing
