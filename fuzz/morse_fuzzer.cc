// Any 10-byte callsign field: only 0/1 units in valid Morse timing, or a
// refusal that names a character with no code.
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/check.h"
#include "morse/callsign.h"

namespace {

bool has_code(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '/';
}

// Marks are one unit (dot) or three (dash); spaces are one unit inside a
// character or three between characters; a callsign has no longer gaps.
void check_timing(const zarn::MorseUnits& encoded) {
  const auto& u = encoded.units;
  const auto count = static_cast<int>(encoded.units.size());
  FUZZ_CHECK(count <= 220);
  if (count == 0) return;
  FUZZ_CHECK(u[0] == 1);
  int run = 0;
  for (int i = 0; i < count; ++i) {
    FUZZ_CHECK(u[i] == 0 || u[i] == 1);
    ++run;
    if (i + 1 == count || u[i + 1] != u[i]) {
      FUZZ_CHECK(run == 1 || run == 3);
      run = 0;
    }
  }
  FUZZ_CHECK(u[count - 1] == 0 && u[count - 2] == 0 && u[count - 3] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string field(10, ' ');
  std::copy_n(data, std::min<std::size_t>(size, field.size()), field.begin());
  const auto encoded = zarn::encode_callsign(field);
  const auto end = std::min(field.find(' '), field.size());
  if (!encoded) {
    const zarn::UnknownSymbol& unknown = encoded.error();
    FUZZ_CHECK(unknown.position >= 1 && static_cast<std::size_t>(unknown.position) <= end);
    FUZZ_CHECK(static_cast<unsigned char>(field[unknown.position - 1]) == unknown.code);
    FUZZ_CHECK(!has_code(unknown.code));
    return 0;
  }
  const zarn::MorseUnits& units = *encoded;
  FUZZ_CHECK(std::all_of(field.begin(), field.begin() + end,
                         [](char c) { return has_code(static_cast<unsigned char>(c)); }));
  check_timing(units);

  // Case never matters.
  std::string upper = field;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
  const auto folded = zarn::encode_callsign(upper);
  FUZZ_CHECK(folded && units.units == folded->units);
  return 0;
}
