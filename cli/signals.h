// What signals do to a run of the executable. The library installs none.
#pragma once

namespace zarn {

// Console interrupts and SIGTERM end the run with their diagnostic and by
// the signal itself, a file opened by name cut after the bytes written; a
// file-size limit or a vanished reader becomes a write error rather than a
// kill.
void install_signal_handlers();

}  // namespace zarn
