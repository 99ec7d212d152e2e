#include "lib/memory_render.h"

#include <cstdlib>
#include <limits>

#include "lib/buffer_sink.h"
#include "lib/callback_sink.h"

namespace zarn {

Result<std::span<std::uint8_t>> render_to_memory(const PlannedSound& sound) {
  const std::uint64_t size = sound.size();
  // A size_t narrower than the WAV limit (wasm32) cannot hold every sound.
  if (size > std::numeric_limits<std::size_t>::max()) return OutOfMemory{size};
  const auto bytes = static_cast<std::size_t>(size);
  // One byte at least, so that an empty sound is not mistaken for a failure.
  auto* data = static_cast<std::uint8_t*>(std::malloc(bytes > 0 ? bytes : 1));
  if (data == nullptr) return OutOfMemory{size};
  const std::span<std::uint8_t> room(data, bytes);
  BufferSink sink(room);
  if (auto written = write_sound(sound, sink, {}); !written) {
    std::free(data);
    return std::move(written).error();
  }
  // A compressed sound takes at most the room it was given.
  return room.first(sink.size());
}

Status render_to_callback(const PlannedSound& sound, zarn_write_fn write, void* context) {
  CallbackSink sink(write, context);
  auto written = write_sound(sound, sink, {});
  if (!written && sink.stopped()) return StoppedByCaller{};
  return written;
}

}  // namespace zarn
