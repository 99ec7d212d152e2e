#include "morse/message.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "morse/table.h"
#include "morse/utf8.h"

namespace zarn {
namespace {

// The punctuation of International Morse Code in the units of the callsign
// table. The slash is there already.
constexpr std::array<std::pair<char, std::string_view>, 12> kPunctuation = {{
    {'.', "101110101110101110"},     // .-.-.-
    {',', "11101110101011101110"},   // --..--
    {':', "111011101110101010"},     // ---...
    {'?', "1010111011101010"},       // ..--..
    {'\'', "10111011101110111010"},  // .----.
    {'-', "1110101010101110"},       // -....-
    {'(', "1110101110111010"},       // -.--.
    {')', "11101011101110101110"},   // -.--.-
    {'"', "1011101010111010"},       // .-..-.
    {'=', "11101010101110"},         // -...-
    {'+', "10111010111010"},         // .-.-.
    {'@', "101110111010111010"},     // .--.-.
}};

// Key-up units added to a character's own one-unit gap: two make the letter
// gap of three, four more the word gap of seven.
constexpr int kLetterGapExtra = 2;
constexpr int kWordGapExtra = 4;

bool is_letter(std::string_view character) {
  if (character.size() != 1) return false;
  const char c = character[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::optional<std::string_view> symbol_pattern(std::string_view character) {
  if (character.size() != 1) return std::nullopt;
  const auto code = static_cast<unsigned char>(character[0]);
  if (const auto pattern = pattern_for(code)) return pattern;
  for (const auto& [symbol, pattern] : kPunctuation) {
    if (symbol == character[0]) return pattern;
  }
  return std::nullopt;
}

void append_pattern(std::string_view pattern, MorseUnits& out) {
  for (char unit : pattern) out.units.push_back(unit == '1' ? 1 : 0);
}

void append_gap(int units, MorseUnits& out) {
  out.units.insert(out.units.end(), units, 0);
}

struct Character {
  std::string_view text;
  int position;
  int line;  // 0 in TextForm::one_line
  int column;
  bool well_formed;  // false for a byte that begins no UTF-8 character
};

// Walks the message a character at a time; a byte that begins no UTF-8
// character counts as one character of its own.
class Reader {
 public:
  Reader(std::string_view text, TextForm form) : rest_(text), form_(form) {
    if (form == TextForm::lines && rest_.starts_with(kByteOrderMark)) {
      rest_.remove_prefix(kByteOrderMark.size());
    }
  }

  bool done() const { return rest_.empty(); }
  std::string_view rest() const { return rest_; }

  Character next() {
    const std::size_t length = utf8_character_length(rest_);
    const std::size_t taken = std::max<std::size_t>(length, 1);
    const int line = form_ == TextForm::lines ? line_ : 0;
    const Character character{rest_.substr(0, taken), ++position_, line, ++column_, length != 0};
    rest_.remove_prefix(taken);
    // CR LF is one line end, at its LF.
    if (character.text == "\n" || (character.text == "\r" && !rest_.starts_with('\n'))) {
      ++line_;
      column_ = 0;
    }
    return character;
  }

  bool is_blank(std::string_view character) const {
    if (character == " " || character == "\t") return true;
    return form_ == TextForm::lines && (character == "\n" || character == "\r");
  }

 private:
  static constexpr std::string_view kByteOrderMark = "\xef\xbb\xbf";
  std::string_view rest_;
  TextForm form_;
  int position_ = 0;
  int line_ = 1;
  int column_ = 0;
};

MessageError error(MessageError::Kind kind, const Character& character) {
  return {kind, character.position, std::string(character.text), character.line,
          character.line == 0 ? 0 : character.column};
}

// What the message sends next: one character, or a prosign.
struct Symbol {
  Character character;       // the character, or the '<' of a prosign
  std::string_view letters;  // a prosign's letters; empty for a character
};

// Reads the prosign whose '<' was just read, through its '>'. A '>' can
// only close it: no UTF-8 character but '>' holds that byte.
std::variant<Symbol, MessageError> read_prosign(const Character& open, Reader& reader) {
  const std::size_t close = reader.rest().find('>');
  if (close == std::string_view::npos) return error(MessageError::Kind::unclosed_prosign, open);
  if (close == 0) return error(MessageError::Kind::empty_prosign, open);
  const std::string_view letters = reader.rest().substr(0, close);
  const std::size_t end_size = reader.rest().size() - close;
  while (reader.rest().size() > end_size) {
    const Character letter = reader.next();
    if (!is_letter(letter.text)) return error(MessageError::Kind::not_a_letter, letter);
  }
  reader.next();  // the '>'
  return Symbol{open, letters};
}

std::variant<Symbol, MessageError> next_symbol(Reader& reader) {
  const Character character = reader.next();
  if (character.text == "<") return read_prosign(character, reader);
  if (character.text == ">") return error(MessageError::Kind::unopened_prosign, character);
  return Symbol{character, {}};
}

// The brackets of the whole message are checked before any character is
// looked up: a misplaced bracket changes how everything after it reads, so
// it is the first thing to put right.
std::optional<MessageError> check_prosigns(std::string_view text, TextForm form) {
  Reader reader(text, form);
  while (!reader.done()) {
    auto symbol = next_symbol(reader);
    if (auto* failure = std::get_if<MessageError>(&symbol)) return std::move(*failure);
  }
  return std::nullopt;
}

// A prosign's letters go back to back, each pattern ending with its one-unit
// gap; a prosign, like a character, ends with one letter gap.
std::optional<MessageError> append_symbol(const Symbol& symbol, MorseUnits& out) {
  if (symbol.letters.empty()) {
    const auto pattern = symbol_pattern(symbol.character.text);
    if (!pattern) return error(MessageError::Kind::unknown_character, symbol.character);
    append_pattern(*pattern, out);
  }
  for (char letter : symbol.letters) {
    append_pattern(*pattern_for(static_cast<unsigned char>(letter)), out);
  }
  append_gap(kLetterGapExtra, out);
  return std::nullopt;
}

std::optional<MessageError> append_symbols(std::string_view text, TextForm form, MorseUnits& out) {
  Reader reader(text, form);
  bool word_ended = false;
  while (!reader.done()) {
    auto next = next_symbol(reader);
    if (auto* failure = std::get_if<MessageError>(&next)) return std::move(*failure);
    const Symbol& symbol = std::get<Symbol>(next);
    if (symbol.letters.empty() && reader.is_blank(symbol.character.text)) {
      // Blanks before the first character send nothing.
      word_ended = !out.units.empty();
      continue;
    }
    // The gap goes in only when another word follows, so trailing blanks
    // send nothing either.
    if (word_ended) append_gap(kWordGapExtra, out);
    word_ended = false;
    if (auto failure = append_symbol(symbol, out)) return failure;
  }
  return std::nullopt;
}

// A file in another encoding would otherwise be refused for whichever of its
// characters comes first, as one without a code.
std::optional<MessageError> check_utf8(std::string_view text, TextForm form) {
  if (form != TextForm::lines) return std::nullopt;
  Reader reader(text, form);
  while (!reader.done()) {
    const Character character = reader.next();
    if (!character.well_formed) return error(MessageError::Kind::not_utf8, character);
  }
  return std::nullopt;
}

}  // namespace

Result<MorseUnits, MessageError> encode_message(std::string_view text, TextForm form) {
  if (auto failure = check_utf8(text, form)) return *std::move(failure);
  if (auto failure = check_prosigns(text, form)) return *std::move(failure);
  MorseUnits out;
  if (auto failure = append_symbols(text, form, out)) return *std::move(failure);
  if (out.units.empty()) return MessageError{MessageError::Kind::empty_message, 0, ""};
  return out;
}

}  // namespace zarn
