// Whole runs from arbitrary argument vectors, options too, rendered into
// memory: the usage line, the help or version text, a one-line diagnostic
// with a known status, or a sound whose header agrees with its length and,
// for the classic sound, whose key-up time is silent; a compressed file no
// longer than announced.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "args/fields.h"
#include "args/help.h"
#include "args/number.h"
#include "args/options.h"
#include "cli/run.h"
#include "core/exit_status.h"
#include "fuzz/check.h"
#include "morse/callsign.h"
#include "tests/support/memory_sink.h"

namespace {

constexpr std::size_t kClassicHeaderSize = 44;

std::uint32_t read_u32_le(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// RIFF, the sizes agreeing with the length, and the data chunk where its
// format puts it (after a fact chunk for the G.711 encodings), followed by
// the samples and at most one pad byte; the classic sound never has one.
void check_header(const std::vector<std::uint8_t>& wav, bool classic) {
  FUZZ_CHECK(wav.size() >= kClassicHeaderSize);
  FUZZ_CHECK(std::memcmp(wav.data(), "RIFF", 4) == 0);
  FUZZ_CHECK(read_u32_le(wav, 4) == wav.size() - 8);
  FUZZ_CHECK(std::memcmp(wav.data() + 8, "WAVEfmt ", 8) == 0);
  const std::size_t data_tag = 20 + read_u32_le(wav, 16) + (read_u32_le(wav, 16) == 18 ? 12 : 0);
  FUZZ_CHECK(data_tag + 8 <= wav.size());
  FUZZ_CHECK(std::memcmp(wav.data() + data_tag, "data", 4) == 0);
  const std::size_t samples = wav.size() - data_tag - 8;
  const std::uint32_t data_size = read_u32_le(wav, data_tag + 4);
  FUZZ_CHECK(data_size == samples || (!classic && data_size % 2 == 1 && data_size + 1 == samples));
}

// The classic sound's samples past this many are timed by k / 11025 rather
// than by the accumulated single-precision time.
constexpr std::size_t kAccumulatedSamples = 79'956;

// Independent of the renderer: walks the sample clock and checks every
// sample that falls in a key-up unit is silence, and none is 0.
void check_keying(const std::vector<std::uint8_t>& wav, std::string_view callsign,
                  std::string_view speed) {
  const auto read = zarn::read_number(zarn::NumberField(speed));
  FUZZ_CHECK(read.has_value());
  const float wpm = *read;
  const auto encoded = zarn::encode_callsign(zarn::CallsignField(callsign).view());
  FUZZ_CHECK(encoded.has_value());
  const zarn::MorseUnits& units = *encoded;
  const float dot = static_cast<float>(1.2f / static_cast<double>(wpm));
  const std::size_t samples = wav.size() - kClassicHeaderSize;
  float t = 0;
  for (std::size_t k = 1; k <= samples; ++k) {
    const std::uint8_t sample = wav[kClassicHeaderSize + k - 1];
    FUZZ_CHECK(sample != 0);
    t = static_cast<float>(t + static_cast<double>(9.0702946e-05f));
    const double time = samples <= kAccumulatedSamples ? double{t} : double(k) / 11025;
    const double unit = std::floor(time / static_cast<double>(dot));
    const bool key_up =
        unit >= units.units.size() || units.units[static_cast<std::size_t>(unit)] == 0;
    if (key_up) FUZZ_CHECK(sample == 128);
  }
}

bool is_failure_status(zarn::ExitStatus status) {
  using zarn::ExitStatus;
  return status == ExitStatus::refused || status == ExitStatus::empty_number ||
         status == ExitStatus::malformed_number || status == ExitStatus::number_out_of_range ||
         status == ExitStatus::write_failure;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> args;
  for (std::size_t start = 0; start <= text.size() && args.size() < 8;) {
    const auto end = std::min(text.find('\0', start), text.size());
    args.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  const auto read = zarn::read_options(args);
  const zarn::Options* options = read ? &*read : nullptr;
  // A message file would be read from the disk or wait on standard input;
  // a key would be written to the disk or standard output.
  if (options && (options->text_file || options->key_file)) return 0;
  zarn::testing::MemorySink sink;
  sink.limit = 256 * 1024;
  const auto outcome = zarn::run(args, sink);

  if (outcome.failure) {
    const auto& d = *outcome.failure;
    FUZZ_CHECK(is_failure_status(d.status));
    FUZZ_CHECK(options || d.status == zarn::ExitStatus::refused);
    FUZZ_CHECK(d.lines.starts_with("zarn: ") && d.lines.ends_with("\n"));
    // One line; a write failure puts the system's own line before it.
    const auto lines = std::count(d.lines.begin(), d.lines.end(), '\n');
    FUZZ_CHECK(lines == 1 || (lines == 2 && d.status == zarn::ExitStatus::write_failure));
    FUZZ_CHECK(outcome.out.empty());
    return 0;
  }
  FUZZ_CHECK(options != nullptr);
  if (options->help || options->version) {
    FUZZ_CHECK(outcome.out.starts_with(options->help ? "Usage: zarn" : "zarn "));
    return 0;
  }
  const bool usage = outcome.out == zarn::kUsage;
  const bool practice = options->practice.count > 0;
  FUZZ_CHECK(usage == (options->positional.size() < (practice ? 2u : 3u)));
  FUZZ_CHECK(usage || outcome.out.empty());
  if (usage) return 0;
  // A compressed file's length is known only once coded: it is announced
  // as the most it can be.
  if (zarn::is_coded(options->sound.encoding)) {
    FUZZ_CHECK(!sink.bytes.empty() && sink.announced >= sink.bytes.size());
    return 0;
  }
  FUZZ_CHECK(sink.announced == sink.bytes.size());
  // A tagged WAV has its LIST chunk before the data.
  if (options->container == zarn::Container::raw || !options->tags.empty()) return 0;
  check_header(sink.bytes, options->sound.is_classic());
  if (options->sound.is_classic() && !options->text && !practice) {
    check_keying(sink.bytes, options->positional[0], options->positional[1]);
  }
  return 0;
}
