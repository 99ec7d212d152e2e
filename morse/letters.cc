#include "morse/letters.h"

#include <span>

#include "morse/fold.h"
#include "morse/kana.h"
#include "morse/letter_case.h"
#include "morse/scripts/arabic.h"
#include "morse/scripts/cyrillic.h"
#include "morse/scripts/greek.h"
#include "morse/scripts/hebrew.h"
#include "morse/scripts/latin_marks.h"
#include "morse/scripts/persian.h"
#include "morse/scripts/wabun.h"
#include "morse/table.h"

namespace zarn {
namespace {

// The one table that may hold `upper`, by its Unicode block. Where two
// languages give the same characters other codes, the choice picks one.
std::span<const ScriptLetter> table_for(char32_t upper, const LetterChoice& choice) {
  if (upper < 0x370) return latin_mark_letters();
  if (upper < 0x400) return greek_letters();
  if (upper < 0x530) return choice.ukrainian ? ukrainian_letters() : russian_letters();
  if (upper >= 0x590 && upper < 0x600) return hebrew_letters();
  if (upper >= 0x600 && upper < 0x700) return choice.persian ? persian_letters() : arabic_letters();
  return {};
}

std::optional<std::string_view> pattern_of(char32_t upper, const LetterChoice& choice) {
  // A folded letter may be a plain A to Z.
  if (upper < 0x80) return pattern_for(static_cast<unsigned char>(upper));
  return find_letter(table_for(upper, choice), upper);
}

std::optional<LetterCode> kana_code(const KanaParts& parts) {
  const auto kana = find_letter(wabun_letters(), parts.kana);
  if (!kana) return std::nullopt;
  if (parts.mark == 0) return LetterCode{.pattern = *kana, .kana = true};
  return LetterCode{*kana, *find_letter(wabun_letters(), parts.mark), true};
}

}  // namespace

std::optional<LetterCode> letter_code(char32_t code, const LetterChoice& choice) {
  if (code >= 0x3000) return kana_code(kana_parts(code));
  const char32_t upper = upper_case(code);
  if (const auto pattern = pattern_of(upper, choice)) return LetterCode{.pattern = *pattern};
  if (!choice.fold) return std::nullopt;
  const auto base = base_letter(upper);
  if (!base) return std::nullopt;
  if (const auto pattern = pattern_of(*base, choice)) return LetterCode{.pattern = *pattern};
  return std::nullopt;
}

}  // namespace zarn
