// Audio rendering: the WAV header, the keyed sine tone and the file writer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
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

// The oscillator and keying of the sample loop, run block by block: the
// phase and time accumulators carry over from one fill() to the next.
class Synth {
 public:
  Synth(const Tone& tone, std::span<const std::uint8_t> units) : tone_(tone), units_(units) {}
  // Writes the next out.size() samples.
  void fill(std::span<std::uint8_t> out);

 private:
  Tone tone_;
  std::span<const std::uint8_t> units_;
  float phase_ = 0;
  float t_ = 0;
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
