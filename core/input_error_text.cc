#include "core/input_error_text.h"

#include "core/printable.h"

namespace zarn {
namespace {

std::string quoted(std::string_view character) {
  // Appended piece by piece: "'" + printable(...) trips g++ 12's -Wrestrict
  // false alarm at -O2.
  std::string out = "'";
  out += printable(character);
  out += '\'';
  return out;
}

// Where a message error lies: by character in a message from the command
// line, by line and column in one from a file.
std::string place(const MessageError& error) {
  if (error.line == 0) return "position " + std::to_string(error.position);
  return "line " + std::to_string(error.line) + ", column " + std::to_string(error.column);
}

}  // namespace

std::string option_error_text(const OptionError& error) {
  const std::string option = printable(error.option);
  switch (error.kind) {
    case OptionError::Kind::unknown_option:
      return "unknown option " + option;
    case OptionError::Kind::missing_value:
      return "option " + option + " needs a value";
    case OptionError::Kind::empty_value:
      return "option " + option + " needs a value, and \"\" is empty";
    case OptionError::Kind::bad_value:
      return "option " + option + ": " + printable(error.value) + " is not " + error.allowed;
    case OptionError::Kind::flag_with_value:
      return "option " + option + " takes no value";
    case OptionError::Kind::after_callsign:
      return option + ": options go before the callsign";
    case OptionError::Kind::needs:
      return "option " + option + ": " + printable(error.value) + " needs " + error.allowed;
    case OptionError::Kind::conflict:
      return "option " + option + " cannot go with " + printable(error.value);
    case OptionError::Kind::not_here:
      return "option " + option + ": " + error.allowed;
  }
  return {};
}

std::string message_error_text(const MessageError& error) {
  const std::string character = quoted(error.character);
  const std::string where = place(error);
  switch (error.kind) {
    case MessageError::Kind::unknown_character:
      return "message character " + character + " at " + where + " has no Morse code";
    case MessageError::Kind::unclosed_prosign:
      return "message has an unclosed '<' at " + where;
    case MessageError::Kind::empty_prosign:
      return "message has an empty prosign '<>' at " + where;
    case MessageError::Kind::not_a_letter:
      return "message character " + character + " at " + where +
             " is not a letter, which a prosign needs";
    case MessageError::Kind::not_utf8:
      return "message byte " + character + " at " + where + " is not UTF-8";
    case MessageError::Kind::unopened_prosign:
      return "message has a '>' without '<' at " + where;
    case MessageError::Kind::empty_message:
      return "message is empty";
    case MessageError::Kind::bad_change:
      return "message change " + character + " at " + where +
             " is none of |wN, |eN, |fN, |vN and ||";
  }
  return {};
}

}  // namespace zarn
