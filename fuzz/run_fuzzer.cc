// Whole runs from arbitrary argument vectors, rendered into memory: the usage
// line, a diagnostic with a known status, or a WAV whose header agrees with
// its length and whose key-up time is silent.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "audio/wav_header.h"
#include "cli/exit_status.h"
#include "cli/fields.h"
#include "cli/number.h"
#include "cli/run.h"
#include "fuzz/check.h"
#include "morse/encoder.h"
#include "output/sink.h"

namespace {

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

void check_header(const std::vector<std::uint8_t>& wav) {
  FUZZ_CHECK(wav.size() >= zarn::kHeaderSize);
  FUZZ_CHECK(std::memcmp(wav.data(), "RIFF", 4) == 0);
  FUZZ_CHECK(le32(wav, 4) == wav.size() - 8);
  FUZZ_CHECK(std::memcmp(wav.data() + 8, "WAVEfmt ", 8) == 0);
  FUZZ_CHECK(std::memcmp(wav.data() + 36, "data", 4) == 0);
  FUZZ_CHECK(le32(wav, 40) == wav.size() - zarn::kHeaderSize);
}

// Independent of the renderer: walks the sample clock as single-precision
// time and checks every sample that falls in a key-up unit is silence.
void check_keying(const std::vector<std::uint8_t>& wav, const std::vector<std::string_view>& args) {
  float wpm = 0;
  FUZZ_CHECK(!zarn::read_number(zarn::NumberField(args[1]), wpm));
  zarn::MorseUnits units;
  FUZZ_CHECK(!zarn::encode_morse(zarn::CallsignField(args[0]).view(), units));
  const float dot = static_cast<float>(1.2f / static_cast<double>(wpm));
  float t = 0;
  for (std::size_t k = zarn::kHeaderSize; k < wav.size(); ++k) {
    FUZZ_CHECK(wav[k] != 0);
    t = static_cast<float>(t + static_cast<double>(9.0702946e-05f));
    const double unit = t / static_cast<double>(dot);
    const bool key_up = unit >= units.count() || units.units[static_cast<std::size_t>(unit)] == 0;
    if (key_up) FUZZ_CHECK(wav[k] == 128);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> args;
  for (std::size_t start = 0; start <= text.size() && args.size() < 6;) {
    const auto end = std::min(text.find('\0', start), text.size());
    args.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  zarn::MemorySink sink;
  sink.limit = 256 * 1024;
  const auto outcome = zarn::run(args, sink);

  const bool usage = outcome.out == zarn::kUsage;
  FUZZ_CHECK(usage == (args.size() < 3));
  FUZZ_CHECK(usage || outcome.out.empty());
  if (outcome.failure) {
    const auto& d = *outcome.failure;
    using zarn::ExitStatus;
    FUZZ_CHECK(d.status == ExitStatus::refused || d.status == ExitStatus::empty_number ||
               d.status == ExitStatus::malformed_number ||
               d.status == ExitStatus::number_out_of_range ||
               d.status == ExitStatus::write_failure);
    FUZZ_CHECK(d.lines.starts_with("zarn: ") && d.lines.ends_with("\n"));
    return 0;
  }
  if (usage) return 0;
  FUZZ_CHECK(sink.announced == sink.bytes.size());
  check_header(sink.bytes);
  check_keying(sink.bytes, args);
  return 0;
}
