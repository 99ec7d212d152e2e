// A property that must hold for every input; a fuzzer stops on the first
// input that breaks one.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "property broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                          \
    }                                                                                        \
  } while (false)
