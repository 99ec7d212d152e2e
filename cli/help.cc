#include "cli/help.h"

namespace zarn {
namespace {

// Mirrored in the manual page; each line fits an 80-column terminal.
constexpr std::string_view kHelp =
    "Usage: zarn [options] <callsign> <wpm> <filename> [<freq>]\n"
    "Writes a callsign, or with --text a message, in Morse code as a sound file.\n"
    "\n"
    "  <callsign>  letters, digits and /; the first 10 count, a blank ends it\n"
    "  <wpm>       speed in words per minute, above 0\n"
    "  <filename>  the file to write; /dev/stdout writes to a pipe\n"
    "  <freq>      tone in Hz; left out, 0 or below: 1361.975\n"
    "\n"
    "Options go before <callsign>; -- ends them. Defaults are in parentheses.\n"
    "  -r, --rate HZ         samples per second, whole, 8000..192000 (11025)\n"
    "  -e, --encoding ENC    sample encoding: u8, s16, ulaw or alaw (u8)\n"
    "      --ramp MS         rise and fall of each tone in ms, 0 up to a dot (0)\n"
    "      --farnsworth WPM  character speed, above 0 and at least <wpm> (<wpm>)\n"
    "      --volume DB       tone level in dB, -60..0 (0)\n"
    "      --lead MS         silence before the Morse in ms, 0..60000 (0)\n"
    "      --tail MS         silence after the Morse in ms, 0..60000 (0)\n"
    "      --raw             write the samples alone, without the WAV header\n"
    "      --text            <callsign> is a message: also blanks, . , : ? ' - / ( )\n"
    "                        \" = + @ and prosigns such as <AR>\n"
    "  -h, --help            print this summary and exit\n"
    "  -V, --version         print the version and exit\n";

constexpr std::string_view kVersion = "zarn 1.1.0\n";

}  // namespace

std::string_view help_text() {
  return kHelp;
}

std::string_view version_text() {
  return kVersion;
}

}  // namespace zarn
