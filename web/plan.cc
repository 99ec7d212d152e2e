// The page asks for the size before the bytes, so that a sound no browser
// can hold is refused before it is made, and it describes the file by the
// format and speed the command line read, never by looking into the bytes.
#include "web/plan.h"

#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/fields.h"
#include "cli/number.h"
#include "cli/options.h"
#include "cli/run.h"
#include "lib/arguments.h"

namespace {

// Takes the announced size and refuses the first byte: the run stops before
// a sample is rendered.
class SizeProbe final : public zarn::Sink {
 public:
  std::optional<zarn::FileError> open(std::string_view, std::uint64_t total_bytes) override {
    total_ = total_bytes;
    opened_ = true;
    return zarn::FileError{zarn::FileErrorKind::write_failure, 0};
  }
  std::optional<zarn::FileError> write(std::span<const std::uint8_t>) override {
    return std::nullopt;
  }
  std::optional<zarn::FileError> close() override { return std::nullopt; }

  bool opened() const { return opened_; }
  std::uint64_t total() const { return total_; }

 private:
  bool opened_ = false;
  std::uint64_t total_ = 0;
};

std::vector<std::string_view> arguments(int argc, const char* const* argv) {
  std::vector<std::string_view> args;
  for (int i = 0; argv != nullptr && i < argc; ++i)
    args.emplace_back(argv[i] != nullptr ? argv[i] : "");
  return args;
}

// The character speed: --farnsworth, or <wpm> read from its field.
double unit_seconds(const zarn::Options& options) {
  float wpm = 0;
  const auto& speed = options.positional[options.text_file ? 0 : 1];
  if (zarn::read_number(zarn::NumberField(speed), wpm)) return 0;
  const double chars = options.sound.farnsworth_wpm.value_or(wpm);
  return chars > 0 ? 1.2 / chars : 0;
}

}  // namespace

extern "C" int zarn_web_plan_of(int argc, const char* const* argv, zarn_web_plan* plan) {
  const auto args = arguments(argc, argv);
  SizeProbe probe;
  (void)zarn::run(zarn::with_file_name(args, "(memory)"), probe);
  if (!probe.opened() || plan == nullptr) return 0;
  // The run opened its output, so the options were read without a fault.
  const auto options = std::get<zarn::Options>(zarn::read_options(args));
  *plan = {.size = static_cast<double>(probe.total()),
           .unit_seconds = unit_seconds(options),
           .rate = options.sound.rate,
           .encoding = zarn::encoding_name(options.sound.encoding).data(),
           .raw = options.raw ? 1 : 0};
  return 1;
}
