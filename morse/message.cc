#include "morse/message.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include "morse/inline_change.h"
#include "morse/letters.h"
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

std::optional<std::string_view> ascii_pattern(char character) {
  if (const auto pattern = pattern_for(static_cast<unsigned char>(character))) return pattern;
  for (const auto& [symbol, pattern] : kPunctuation) {
    if (symbol == character) return pattern;
  }
  return std::nullopt;
}

// A character of more than one byte is well-formed UTF-8: the reader takes a
// byte that begins none on its own.
std::optional<LetterCode> character_code(std::string_view character, const LetterChoice& choice) {
  if (character.size() > 1) return letter_code(utf8_code_point(character), choice);
  if (const auto pattern = ascii_pattern(character[0])) return LetterCode{.pattern = *pattern};
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
  Character character;       // the character, or the '<' of a prosign, or a change's '|'
  std::string_view letters;  // a prosign's letters; empty for a character
  std::optional<ChangeText> change;
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
  return Symbol{open, letters, {}};
}

// Reads what follows a '|': another '|', the character itself, or a change.
std::variant<Symbol, MessageError> read_bar(const Character& bar, Reader& reader) {
  if (reader.rest().starts_with('|')) return Symbol{reader.next(), {}, {}};
  const auto change = read_change(reader.rest());
  if (!change) {
    MessageError failure = error(MessageError::Kind::bad_change, bar);
    if (!reader.done()) failure.character += reader.next().text;
    return failure;
  }
  // The change is ASCII: a byte a character.
  for (std::size_t i = 0; i < change->length; ++i) reader.next();
  return Symbol{bar, {}, change};
}

std::variant<Symbol, MessageError> next_symbol(Reader& reader) {
  const Character character = reader.next();
  if (character.text == "<") return read_prosign(character, reader);
  if (character.text == "|") return read_bar(character, reader);
  if (character.text == ">") return error(MessageError::Kind::unopened_prosign, character);
  return Symbol{character, {}, {}};
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
void append_prosign(std::string_view letters, MorseUnits& out) {
  for (char letter : letters) append_pattern(*pattern_for(static_cast<unsigned char>(letter)), out);
  append_gap(kLetterGapExtra, out);
}

void append_code(const LetterCode& code, MorseUnits& out) {
  append_pattern(code.pattern, out);
  append_gap(kLetterGapExtra, out);
  if (code.mark.empty()) return;
  append_pattern(code.mark, out);
  append_gap(kLetterGapExtra, out);
}

// CH as one character: the four dashes some languages send for it.
constexpr std::string_view kCh = "1110111011101110";

bool starts_with_h(std::string_view text) {
  return text.starts_with('H') || text.starts_with('h');
}

// What a symbol sends: a prosign's letters, or a character's code. With --ch
// a C takes the H after it.
std::variant<LetterCode, MessageError> code_of(const Symbol& symbol, Reader& reader,
                                               const LetterChoice& choice) {
  if (!symbol.letters.empty()) return LetterCode{};
  const std::string_view text = symbol.character.text;
  if (choice.ch && (text == "C" || text == "c") && starts_with_h(reader.rest())) {
    reader.next();
    return LetterCode{.pattern = kCh};
  }
  if (const auto code = character_code(text, choice)) return *code;
  return error(MessageError::Kind::unknown_character, symbol.character);
}

// Kana go in the kana code, announced by <DO> and closed by <SN>. A run of
// kana goes on over blanks, so a Japanese sentence is one run; <DO> is the
// first character of the run's first word (after the word gap before it),
// <SN> the last of its last word (before the word gap after it).
class Sender {
 public:
  explicit Sender(MorseUnits& out) : out_(out) {}

  void blank() { word_ended_ = !out_.units.empty(); }

  // A change waits for the next character, so the gap before it keeps the
  // old timing and the new one starts on a key-down.
  void change(const Symbol& symbol) {
    const Character& bar = symbol.character;
    pending_.push_back(InlineChange{symbol.change->kind, symbol.change->value, 0, bar.position,
                                    bar.line, bar.line == 0 ? 0 : bar.column});
  }

  void send(const Symbol& symbol, const LetterCode& code) {
    if (in_kana_ && !code.kana) append_prosign("SN", out_);
    // The gap goes in only when another word follows, so trailing blanks
    // send nothing either.
    if (word_ended_) append_gap(kWordGapExtra, out_);
    take_changes();
    if (code.kana && !in_kana_) append_prosign("DO", out_);
    in_kana_ = code.kana;
    word_ended_ = false;
    if (symbol.letters.empty()) {
      append_code(code, out_);
    } else {
      append_prosign(symbol.letters, out_);
    }
  }

  void finish() {
    if (in_kana_) append_prosign("SN", out_);
    take_changes();
  }

 private:
  void take_changes() {
    for (InlineChange& change : pending_) {
      change.unit = out_.units.size();
      out_.changes.push_back(change);
    }
    pending_.clear();
  }

  MorseUnits& out_;
  std::vector<InlineChange> pending_;
  bool word_ended_ = false;
  bool in_kana_ = false;
};

std::optional<MessageError> append_symbols(std::string_view text, TextForm form,
                                           const LetterChoice& choice, MorseUnits& out) {
  Reader reader(text, form);
  Sender sender(out);
  while (!reader.done()) {
    auto next = next_symbol(reader);
    if (auto* failure = std::get_if<MessageError>(&next)) return std::move(*failure);
    const Symbol& symbol = std::get<Symbol>(next);
    if (symbol.change) {
      sender.change(symbol);
      continue;
    }
    if (symbol.letters.empty() && reader.is_blank(symbol.character.text)) {
      // Blanks before the first character send nothing.
      sender.blank();
      continue;
    }
    auto code = code_of(symbol, reader, choice);
    if (auto* failure = std::get_if<MessageError>(&code)) return std::move(*failure);
    sender.send(symbol, std::get<LetterCode>(code));
  }
  sender.finish();
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

Result<MorseUnits, MessageError> encode_message(std::string_view text, TextForm form,
                                                const LetterChoice& letters) {
  if (auto failure = check_utf8(text, form)) return *std::move(failure);
  if (auto failure = check_prosigns(text, form)) return *std::move(failure);
  MorseUnits out;
  if (auto failure = append_symbols(text, form, letters, out)) return *std::move(failure);
  if (out.units.empty()) return MessageError{MessageError::Kind::empty_message, 0, ""};
  return out;
}

}  // namespace zarn
