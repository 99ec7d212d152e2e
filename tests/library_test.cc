// The C interface's own promises: no shared state between calls, and
// results that own their memory.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "zarn.h"

namespace {

struct Rendered {
  int status;
  std::string bytes;
  std::string out;
  std::string diagnostic;
  bool operator==(const Rendered&) const = default;
};

Rendered render(const std::vector<const char*>& args) {
  zarn_result r;
  const int status = zarn_render(static_cast<int>(args.size()), args.data(), &r);
  Rendered got{status, std::string(reinterpret_cast<const char*>(r.bytes), r.size), r.out,
               r.diagnostic};
  zarn_result_free(&r);
  return got;
}

TEST(Library, ThreadsRenderingAtOnceGetWhatEachWouldAlone) {
  const std::vector<std::vector<const char*>> cases = {
      {"Q1ABC", "20"},
      {"-r", "48000", "-e", "s16", "--ramp", "5", "Q1ABC/M", "5"},
      {"--text", "--farnsworth", "25", "CQ DE Q1ABC <AR>", "8", "700"},
      {"Q1#BC", "20"},
      {"--rate", "7999", "Q1ABC", "20"},
      {"--help"},
  };
  std::vector<Rendered> alone;
  for (const auto& args : cases) alone.push_back(render(args));
  std::vector<std::vector<Rendered>> together(cases.size() * 2);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < together.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 20; ++i) together[t].push_back(render(cases[t % cases.size()]));
    });
  }
  for (auto& thread : threads) thread.join();
  for (std::size_t t = 0; t < together.size(); ++t) {
    for (const auto& got : together[t]) EXPECT_EQ(got, alone[t % cases.size()]) << t;
  }
}

// The library runs the command line's encoder, so it takes every script's
// letters: a Cyrillic message is the Latin letters of the same codes.
TEST(Library, RendersACyrillicMessage) {
  const Rendered cyrillic = render({"--text", "ПРИВЕТ МИР", "20"});
  EXPECT_EQ(cyrillic.status, 0) << cyrillic.diagnostic;
  EXPECT_EQ(cyrillic, render({"--text", "PRIWET MIR", "20"}));
}

TEST(Library, NullArgumentsAreEmptyAndANullResultIsRefused) {
  const char* args[] = {"Q1ABC", nullptr};
  EXPECT_EQ(render({"Q1ABC", ""}), render({args[0], args[1]}));
  EXPECT_EQ(zarn_render(2, args, nullptr), -1);
  EXPECT_EQ(render({}).out, render({"Q1ABC"}).out);
  zarn_result r;
  EXPECT_EQ(zarn_render(3, nullptr, &r), 0);
  EXPECT_EQ(r.bytes, nullptr);
  zarn_result_free(&r);
  zarn_result_free(nullptr);
}

}  // namespace
