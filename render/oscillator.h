// A sine tone sampled without drift, however long it runs: the renderer's
// source of sample values.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace zarn {

// f k modulo the rate, with nothing of f k lost: the phase of sample k in
// turns times the rate, in [0, rate).
double cycle_position(double frequency_hz, double sample_rate, std::int64_t k);

// Sample k is amplitude sin(2 pi f k / rate). Every block of kBlockSamples
// samples starts again from the exact phase of its first sample, f k reduced
// modulo the rate with nothing of f k lost, so no error carries from one
// block to the next: each sample stays within about 1e-13 amplitude of the
// exact sine for k below 2^53. Inside a block the samples come from a short
// recurrence run in kLanes interleaved lanes, which the compiler vectorises.
class Oscillator {
 public:
  static constexpr std::size_t kBlockSamples = 2048;
  static constexpr std::size_t kLanes = 64;

  // Room for one block, aligned so that vector loads and stores never split
  // a cache line: fill() runs fastest into one of these.
  struct alignas(64) Block {
    std::array<double, kBlockSamples> values;
  };

  // The first fill() starts at k = first_index. sample_rate > 0. Scaling the
  // sine here costs nothing per sample: the recurrence carries it.
  Oscillator(double frequency_hz, double sample_rate, std::int64_t first_index,
             double amplitude = 1);

  // Goes on from sample `index` with phase `offset` there, given as the
  // phase in turns times the rate (what f k is for the first constructor),
  // in [0, rate): a tone that takes over from another without a jump.
  void rephase(std::int64_t index, double offset);
  // Goes on from sample `index` at another frequency and amplitude, with the
  // phase it has reached there: a change of tone without a jump. Allocates
  // nothing.
  void retune(std::int64_t index, double frequency_hz, double amplitude);
  // The phase of sample `index` as rephase() takes it.
  double phase_at(std::int64_t index) const;

  // Writes the next out.size() samples and moves on past them.
  void fill(std::span<double> out);
  // Moves on count >= 0 samples without computing them.
  void skip(std::int64_t count) { position_ += count; }

 private:
  void generate(std::int64_t block, std::span<double> out) const;
  void set_frequency(double frequency_hz);

  double frequency_hz_;
  double sample_rate_;
  std::int64_t first_index_;
  double amplitude_;
  std::int64_t base_ = 0;  // where the phase is offset_
  double offset_ = 0;
  std::int64_t position_ = 0;  // samples since first_index_
  // sin and cos of the phase advance over j samples, j < 2 kLanes: they carry
  // a block's first phase into its first two rows of lanes.
  std::array<double, 2 * kLanes> offset_sin_;
  std::array<double, 2 * kLanes> offset_cos_;
  // 2 cos of the advance over kLanes samples: sin(x + d) = 2 cos(d) sin(x) -
  // sin(x - d) steps each lane by one row.
  double row_factor_;
  // The block that partial fills are served from.
  std::unique_ptr<Block> buffer_;
  std::int64_t buffered_block_ = -1;
};

}  // namespace zarn
