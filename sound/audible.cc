#include "sound/audible.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "encode/encoding.h"
#include "render/classic/tone_renderer.h"

namespace zarn {
namespace {

// Small, so that a sound that sounds at once costs a few hundred samples.
constexpr std::int64_t kPiece = 256;

bool any_off(std::span<const std::uint8_t> bytes, std::uint8_t silence) {
  return std::any_of(bytes.begin(), bytes.end(), [=](std::uint8_t b) { return b != silence; });
}

std::size_t piece_at(std::int64_t done, std::int64_t total) {
  return static_cast<std::size_t>(std::min(kPiece, total - done));
}

bool classic_holds_tone(const AccumulatedClassic& classic, const SoundPlan& plan) {
  ToneRenderer renderer(classic.tone, plan.units);
  std::array<std::uint8_t, kPiece> bytes{};
  for (std::int64_t done = 0; done < plan.sample_count; done += kPiece) {
    const auto piece = std::span(bytes).first(piece_at(done, plan.sample_count));
    renderer.fill(piece);
    if (any_off(piece, silence_byte(Encoding::u8))) return true;
  }
  return false;
}

bool keyed_holds_tone(const KeyedSound& sound, const SoundPlan& plan) {
  // GSM and the codecs code 16-bit input; their own bytes say nothing of
  // silence.
  const Encoding from = plan.format.encoding;
  const Encoding encoding = from == Encoding::gsm || is_coded(from) ? Encoding::s16 : from;
  const auto width = static_cast<std::size_t>(bytes_per_sample(encoding));
  KeyedRenderer renderer(sound.tone, key_schedule_for(sound, plan.units, plan.changes));
  std::array<double, kPiece> values{};
  std::array<std::uint8_t, kPiece * 2> bytes{};
  bool sounds = false;
  for (std::int64_t done = 0; done < plan.sample_count && !sounds; done += kPiece) {
    const auto piece = std::span(values).first(piece_at(done, plan.sample_count));
    renderer.render(piece, [&](std::size_t first, std::size_t count, bool sounding) {
      if (!sounding || sounds) return;
      const auto run = std::span(bytes).first(count * width);
      encode_samples(encoding, piece.subspan(first, count), run);
      sounds = any_off(run, silence_byte(encoding));
    });
  }
  return sounds;
}

}  // namespace

bool holds_tone(const SoundPlan& plan) {
  if (const auto* classic = std::get_if<AccumulatedClassic>(&plan.renderer)) {
    return classic_holds_tone(*classic, plan);
  }
  return keyed_holds_tone(std::get<KeyedSound>(plan.renderer), plan);
}

}  // namespace zarn
