// The message encoder: free text, with punctuation and prosigns, becomes
// key-down / key-up time units.
#pragma once

#include <string>
#include <string_view>

#include "morse/callsign.h"
#include "morse/letters.h"

namespace zarn {

// Why a message cannot be sent, and where.
struct MessageError {
  enum class Kind {
    unknown_character,  // a character with no Morse code
    unclosed_prosign,   // a '<' with no '>' after it
    empty_prosign,      // "<>"
    not_a_letter,       // a character other than a letter inside "<...>"
    unopened_prosign,   // a '>' with no '<' before it
    empty_message,      // nothing but blanks
    not_utf8,           // a byte that begins no UTF-8 character, in TextForm::lines
    bad_change,         // a '|' followed by neither a change nor another '|'
  };
  Kind kind;
  int position = 0;       // 1-based, in characters; 0 for an empty message
  std::string character;  // the offending character as UTF-8, or its one byte if that is not UTF-8
  int line = 0;           // 1-based, in TextForm::lines; 0 otherwise
  int column = 0;         // 1-based, in characters, in TextForm::lines
};

// How a message is laid out. One line is a command-line argument: a line end
// in it is a character without a code. Lines are a file's: a line end (LF,
// CR LF or CR) is a blank, the text must be UTF-8, a byte order mark at its
// start is skipped, and errors are placed by line and column.
enum class TextForm { one_line, lines };

// Encodes a message of any length. Each character is its pattern and the
// three-unit letter gap; blanks (spaces and tabs, and line ends in lines)
// between words add four
// key-up units to make the seven-unit word gap, however many there are, and
// are ignored at either end. Letters (either case), digits and
// . , : ? ' - / ( ) " = + @ have International Morse codes, and so do the
// letters of the other scripts (morse/letters.h); kana are sent between the
// prosigns <DO> and <SN>. Letters in angle brackets, such as <AR> or <SOS>,
// are one prosign sent without letter gaps. A callsign of letters, digits
// and '/' gives the same units as the callsign encoder. Bytes that are not
// UTF-8 (in lines), then misplaced brackets anywhere, are reported before
// any character without a code. A '|' starts a change (morse/inline_change.h),
// which goes into the units' changes at the first unit of the next character;
// "||" is the character '|' itself, which has no code.
Result<MorseUnits, MessageError> encode_message(std::string_view text,
                                                TextForm form = TextForm::one_line,
                                                const LetterChoice& letters = {});

}  // namespace zarn
