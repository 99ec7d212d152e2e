// Every way a request can fail, from its words to its last byte: one type
// that each front end turns into what its users read.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "core/argument_errors.h"
#include "core/result.h"
#include "core/text_file.h"
#include "morse/callsign.h"
#include "morse/message.h"
#include "output/sink.h"
#include "sound/refusal.h"

namespace zarn {

// A setting given through the library with a value it cannot take.
struct SettingError {
  std::string setting;  // "rate"
  std::string value;    // "7999", as the caller gave it
  std::string allowed;  // "a whole number from 8000 to 192000"
};

// The output failed; `name` is the file's name as given, without its blanks.
struct OutputFailure {
  FileError error;
  std::string name;
};

// The answer key of a practice set could not be written; `name` as given,
// "-" for standard output.
struct KeyFileFailure {
  std::string name;
  int system_errno;
};

// Memory for the whole sound, or for making it, could not be had.
struct OutOfMemory {
  std::uint64_t bytes;  // the sound's size; 0 when not known
};

// Beyond a limit the caller set, refused before anything is made.
struct OverLimit {
  enum class What { sound_bytes, message_bytes };
  What what;
  std::uint64_t size;
  std::uint64_t limit;
};

// A split that cannot be made: more parts than numbers, or an output that
// is a descriptor, which has no name to number.
struct SplitRefusal {
  enum class Kind { too_many, no_file_name };
  Kind kind;
  std::size_t count;  // the parts it would make
};

// The caller's write callback asked to stop.
struct StoppedByCaller {};

// An exception nothing below expected, with its own words.
struct InternalFailure {
  std::string what;
};

struct Failure {
  using Reason =
      std::variant<OptionError, NumberError, TextFileError, UnknownSymbol, MessageError,
                   SettingError, SoundRefusal, OutputFailure, KeyFileFailure, OutOfMemory,
                   OverLimit, StoppedByCaller, InternalFailure, SplitRefusal>;
  template <class R>
  requires std::is_constructible_v<Reason, R> Failure(R reason) : reason(std::move(reason)) {}
  Reason reason;
};

}  // namespace zarn
