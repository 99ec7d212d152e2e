// The C interface: the command line's run, in memory.
#include "zarn.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <string_view>
#include <vector>

#include "cli/run.h"
#include "lib/arguments.h"
#include "lib/buffer_sink.h"

namespace {

// The file name the run is given; only a memory failure shows it.
constexpr std::string_view kMemoryName = "(memory)";

// Empty texts are not allocated, so that a result always has its strings.
constexpr char kEmpty[] = "";

const char* copy_text(std::string_view text) {
  if (text.empty()) return kEmpty;
  auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy == nullptr) throw std::bad_alloc();
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

void free_text(const char* text) {
  if (text != kEmpty) std::free(const_cast<char*>(text));
}

zarn::Outcome run_in_memory(int argc, const char* const* argv, zarn::BufferSink& sink) {
  std::vector<std::string_view> args;
  for (int i = 0; argv != nullptr && i < argc; ++i)
    args.emplace_back(argv[i] != nullptr ? argv[i] : "");
  return zarn::run(zarn::with_file_name(args, kMemoryName), sink);
}

void fill(const zarn::Outcome& outcome, zarn::BufferSink& sink, zarn_result& result) {
  result.out = copy_text(outcome.out);
  if (outcome.failure) {
    result.diagnostic = copy_text(outcome.failure->lines);
    result.status = zarn::status_number(outcome.failure->status);
    return;
  }
  // A run that stops before opening the output leaves the sink empty.
  const auto bytes = sink.release();
  result.bytes = bytes.data();
  result.size = bytes.size();
}

}  // namespace

extern "C" int zarn_render(int argc, const char* const* argv, zarn_result* result) {
  if (result == nullptr) return -1;
  *result = {.bytes = nullptr, .size = 0, .out = kEmpty, .diagnostic = kEmpty, .status = 0};
  zarn::BufferSink sink;
  try {
    fill(run_in_memory(argc, argv, sink), sink, *result);
  } catch (const std::exception& e) {
    // As the executable's main does; if even this text cannot be had, the
    // status alone tells.
    zarn_result_free(result);
    const auto failure = zarn::describe(e);
    result->status = zarn::status_number(failure.status);
    try {
      result->diagnostic = copy_text(failure.lines);
    } catch (const std::bad_alloc&) {
    }
  }
  return result->status;
}

extern "C" void zarn_result_free(zarn_result* result) {
  if (result == nullptr) return;
  std::free(result->bytes);
  free_text(result->out);
  free_text(result->diagnostic);
  *result = {.bytes = nullptr, .size = 0, .out = kEmpty, .diagnostic = kEmpty, .status = 0};
}
