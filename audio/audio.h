// Audio rendering: the WAV header, the keyed sine tone and the file writer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "morse/morse.h"

namespace zarn {

inline constexpr std::int32_t kSampleRate = 11025;
inline constexpr std::size_t kHeaderSize = 44;
// The sample byte of silence: 8-bit WAV samples are unsigned around 128.
inline constexpr std::uint8_t kSilence = 128;

// The WAV header record: RIFF container, one "fmt " chunk for 8-bit mono
// integer PCM at 11025 Hz, and one "data" chunk of `samples` bytes.
struct Hdr {
  std::int32_t samples = 0;
  std::array<std::uint8_t, kHeaderSize> bytes() const;
};

// Everything the sample loop needs, fixed before the first sample.
struct Tone {
  float dot = 0;             // seconds per Morse unit
  float dphi = 0;            // radians the oscillator advances per sample
  std::int32_t samples = 0;  // n, the data size in bytes
};

// Why a run cannot make a sound worth writing.
struct ToneRefusal {
  enum class Reason { speed_not_positive, too_long };
  Reason reason;
  float wpm;
  int units;
};

// Computes the unit length, phase step and sample count for `count` units at
// `wpm`, with `freq` Hz or the default tone when freq is not above zero.
// Refuses a speed of zero or below and a sound too long for the header's
// 32-bit sizes.
std::variant<Tone, ToneRefusal> plan_tone(float wpm, float freq, int count);

// A run of accumulator values: start + i * step for i = 1 .. count, each of
// them exactly a float.
struct Stretch {
  double start;
  double step;
  std::size_t count;
};

// A running single-precision sum, x <- x + d rounded to single precision,
// with d > 0. Inside one binade every such step moves x by the same multiple
// of the binade's ulp, so a whole stretch of steps is an arithmetic
// progression, handed out without a serial chain of additions; only steps
// that cross into the next binade, or meet a rounding tie, are taken one by
// one. The values are exactly those of step-by-step addition.
class FloatAccumulator {
 public:
  FloatAccumulator(float start, float step) : x_(start), d_(step) {}
  float value() const { return x_; }
  // Takes the next stretch of at most `limit` steps, each of whose values
  // stays below `bound`; an empty stretch means the next value would not.
  Stretch take(std::size_t limit, float bound = std::numeric_limits<float>::infinity());
  // Takes `steps` steps.
  void skip(std::size_t steps) { advance_below(steps, std::numeric_limits<float>::infinity()); }
  // Takes up to `limit` steps while each new value stays below `bound`;
  // returns how many it took.
  std::size_t advance_below(std::size_t limit, float bound);

 private:
  float x_;
  float d_;
};

// Phases up to this many radians take the fast sine, which an exhaustive
// comparison has checked against std::sin for every float up to here.
inline constexpr float kFastSineLimit = 0x1p23f;

// A key-down sample: 128 + 127 sin(phase), rounded half away from zero.
std::uint8_t tone_sample(float phase);
// The same for the phases of a stretch, out[i] for start + (i + 1) * step;
// identical bytes, much faster, by the fastest kernel this processor has.
void tone_samples(double start, double step, std::span<std::uint8_t> out);

// The ways tone_samples() can compute; the exhaustive comparison checks each.
enum class SineKernel { exact, avx2, avx512 };
std::vector<SineKernel> sine_kernels();  // this processor's, slowest first
void tone_samples(SineKernel kernel, double start, double step, std::span<std::uint8_t> out);

// The oscillator and keying of the sample loop, run block by block: the
// phase and time accumulators carry over from one fill() to the next.
class Synth {
 public:
  Synth(const Tone& tone, std::span<const std::uint8_t> units);
  // Writes the next out.size() samples.
  void fill(std::span<std::uint8_t> out);

 private:
  struct Segment {
    std::size_t length;
    bool key_down;
  };
  Segment next_segment(std::size_t limit);
  float unit_end(double next_unit) const;
  void render(std::span<std::uint8_t> out, bool key_down);

  float dot_;
  std::span<const std::uint8_t> units_;
  FloatAccumulator phase_;
  FloatAccumulator t_;
  bool past_last_unit_ = false;
};

// How the file layer failed; the values are the diagnostics' error numbers.
enum class IoError {
  access_denied = 9,
  not_found = 29,
  open_failure = 30,
  write_failure = 38,
  no_device = 42,
  bad_name = 43,
  read_only = 47,
};

struct FileError {
  IoError error;
  int sys_errno;     // 0 when the platform reported nothing
  std::string path;  // the file as shown in the diagnostic
};

// Where the WAV bytes go. The file sink is the tool's; tests and fuzzers use
// the memory sink, so everything up to the last byte runs without a disk.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual std::optional<FileError> open(std::string_view filename_field) = 0;
  virtual std::optional<FileError> write(std::span<const std::uint8_t>) = 0;
  // Ends the output after the bytes written, then closes it.
  virtual std::optional<FileError> close() = 0;
};

class MemorySink final : public Sink {
 public:
  std::optional<FileError> open(std::string_view filename_field) override;
  std::optional<FileError> write(std::span<const std::uint8_t> b) override;
  std::optional<FileError> close() override { return std::nullopt; }

  std::string filename_field;
  std::vector<std::uint8_t> bytes;
  // Past this size a write fails as a full file would (EFBIG), so a fuzzer's
  // slow speeds cannot exhaust memory.
  std::size_t limit = SIZE_MAX;
};

// The file writer: the named file is opened for reading and writing without
// emptying, locked against a concurrent writer, written in full, cut after
// the last byte and closed. FIFOs and devices are written, never cut.
class Wfile2 final : public Sink {
 public:
  Wfile2() = default;
  Wfile2(const Wfile2&) = delete;
  Wfile2& operator=(const Wfile2&) = delete;
  ~Wfile2() override;

  std::optional<FileError> open(std::string_view filename_field) override;
  std::optional<FileError> write(std::span<const std::uint8_t> b) override;
  std::optional<FileError> close() override;

 private:
  std::optional<FileError> fail(IoError error, int sys_errno);

  int fd_ = -1;
  bool regular_ = false;
  std::uint64_t written_ = 0;
  std::string path_;
};

// The file name field without its leading and trailing blanks.
std::string_view trim_blanks(std::string_view field);

// The name as diagnostics show it: the current directory joined with the
// trimmed name, normalised, or the trimmed name when that exceeds 256
// characters.
std::string display_path(std::string_view trimmed_name);

using AudioFailure = std::variant<ToneRefusal, FileError>;

// Renders `elements` as a keyed tone and writes the WAV file through `sink`,
// in fixed-size blocks so memory does not grow with the length of the sound.
std::optional<AudioFailure> genzarn(float wpm, const Elements& elements, float freq,
                                    std::string_view filename_field, Sink& sink);

}  // namespace zarn
