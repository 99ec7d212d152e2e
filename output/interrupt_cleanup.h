// What a fatal signal must undo of the output under way, so that a run it
// ends leaves nothing half done: the temporary file beside the name is
// removed, a file written in place is cut after the bytes written, and a
// caller's regular file is cut back to where the run began. The run registers
// each as it starts and drops it when done.
#pragma once

#include <sys/types.h>

#include <csignal>

namespace zarn {

// For a signal handler (async-signal-safe): undoes what is registered.
void clean_up_interrupted_output();

// Holds every signal that can be held while a step that a handler must see
// whole is taken (a temporary made and registered, renamed and dropped).
class SignalsHeld {
 public:
  SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;
  ~SignalsHeld();

 private:
  sigset_t previous_;
};

// The temporary file `path` is to be removed if the run is ended. Called
// with signals held; a path too long to keep is not registered.
void register_temporary(const char* path);
void drop_temporary();

// A file opened by name and written in place: cut at its offset.
void register_in_place(int fd);
void drop_in_place();

// A caller's regular file: cut back to `kept` if it has grown, but only while
// no more than this run's bytes follow it (another writer's must stay).
void register_caller(int fd, off_t kept);
// Before each write: the run's bytes may reach up to `end`.
void allow_caller_end(off_t end);
void drop_caller();
// The same cut for a write that failed, outside any handler.
void cut_back_caller();

}  // namespace zarn
