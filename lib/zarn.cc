// The C interface's command line: the executable's words, without the file
// name, made in memory.
#include "zarn.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string_view>
#include <vector>

#include "args/command.h"
#include "core/describe.h"
#include "core/version.h"
#include "encode/codec.h"
#include "encode/gsm.h"
#include "lib/memory_render.h"

namespace {

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

void fail(const zarn::Failure& failure, zarn_result& result) {
  const auto diagnostic = zarn::describe(failure);
  result.status = zarn::status_number(diagnostic.status);
  result.diagnostic = copy_text(diagnostic.lines);
}

void run(int argc, const char* const* argv, zarn_result& result) {
  std::vector<std::string_view> args;
  for (int i = 0; argv != nullptr && i < argc; ++i)
    args.emplace_back(argv[i] != nullptr ? argv[i] : "");
  auto command =
      zarn::read_command(args, {.names_file = false, .reads_files = false, .writes_keys = false});
  if (!command) return fail(command.error(), result);
  if (!command->out.empty()) {
    result.out = copy_text(command->out);
    return;
  }
  auto sound = zarn::plan_request(command->request);
  if (!sound) return fail(sound.error(), result);
  auto bytes = zarn::render_to_memory(*sound);
  if (!bytes) return fail(bytes.error(), result);
  result.bytes = bytes->data();
  result.size = bytes->size();
  // --key - prints the key where the executable would.
  result.out = copy_text(command->key);
}

}  // namespace

extern "C" int zarn_render(int argc, const char* const* argv, zarn_result* result) {
  if (result == nullptr) return -1;
  *result = {.bytes = nullptr, .size = 0, .out = kEmpty, .diagnostic = kEmpty, .status = 0};
  try {
    run(argc, argv, *result);
  } catch (const std::exception& e) {
    // If even these words cannot be had, the status alone tells.
    zarn_result_free(result);
    const zarn::Failure failure = dynamic_cast<const std::bad_alloc*>(&e) != nullptr
                                      ? zarn::Failure(zarn::OutOfMemory{0})
                                      : zarn::failure_of(e);
    result->status = zarn::status_number(zarn::describe(failure).status);
    try {
      result->diagnostic = copy_text(zarn::describe(failure).lines);
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

extern "C" const char* zarn_version(void) {
  // A literal's view: its terminating NUL follows it.
  return zarn::kVersionNumber.data();
}

extern "C" int zarn_has_encoding(const char* encoding) {
  if (encoding == nullptr) return 0;
  for (std::size_t i = 0; i < zarn::kEncodingNames.size(); ++i) {
    if (zarn::kEncodingNames[i] != encoding) continue;
    return zarn::encoding_built(static_cast<zarn::Encoding>(i));
  }
  return 0;
}
