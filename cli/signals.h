// What signals do to a run of the executable. The library installs none.
#pragma once

namespace zarn {

// Every catchable signal that would end the run (console interrupts and
// SIGTERM with their diagnostic) first undoes the output under way, then
// ends it by the signal itself; a file-size limit or a vanished reader
// becomes a write error rather than a kill.
void install_signal_handlers();

}  // namespace zarn
