#include "output/interrupt_cleanup.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace zarn {
namespace {

static_assert(std::atomic<int>::is_always_lock_free, "read in a signal handler");
static_assert(std::atomic<off_t>::is_always_lock_free, "read in a signal handler");
static_assert(std::atomic<bool>::is_always_lock_free, "read in a signal handler");

// Written only with signals held, read by the handler.
char temporary_path[PATH_MAX];
std::atomic<bool> temporary_registered{false};

std::atomic<int> in_place_file{-1};

std::atomic<int> caller_file{-1};
std::atomic<off_t> caller_kept{0};
std::atomic<off_t> caller_end{0};

void remove_temporary() {
  if (temporary_registered.load(std::memory_order_relaxed)) {
    static_cast<void>(::unlink(temporary_path));
  }
}

// The offset is exactly what was written, even when the signal came between
// a write and the count after it. Nothing written yet: the old file is whole
// and stays.
void cut_in_place() {
  const int fd = in_place_file.load(std::memory_order_relaxed);
  if (fd < 0) return;
  const off_t end = ::lseek(fd, 0, SEEK_CUR);
  if (end > 0) static_cast<void>(::ftruncate(fd, end));
}

}  // namespace

void clean_up_interrupted_output() {
  cut_back_caller();
  remove_temporary();
  cut_in_place();
}

SignalsHeld::SignalsHeld() {
  sigset_t all;
  sigfillset(&all);
  sigprocmask(SIG_BLOCK, &all, &previous_);
}

SignalsHeld::~SignalsHeld() {
  sigprocmask(SIG_SETMASK, &previous_, nullptr);
}

void register_temporary(const char* path) {
  const std::size_t length = std::strlen(path);
  if (length >= sizeof temporary_path) return;
  std::memcpy(temporary_path, path, length + 1);
  temporary_registered.store(true, std::memory_order_relaxed);
}

void drop_temporary() {
  temporary_registered.store(false, std::memory_order_relaxed);
}

void register_in_place(int fd) {
  in_place_file.store(fd, std::memory_order_relaxed);
}

void drop_in_place() {
  in_place_file.store(-1, std::memory_order_relaxed);
}

void register_caller(int fd, off_t kept) {
  caller_kept.store(kept, std::memory_order_relaxed);
  caller_end.store(kept, std::memory_order_relaxed);
  caller_file.store(fd, std::memory_order_relaxed);
}

void allow_caller_end(off_t end) {
  caller_end.store(end, std::memory_order_relaxed);
}

void drop_caller() {
  caller_file.store(-1, std::memory_order_relaxed);
}

// Appends from another process after this run's bytes would be lost with
// them: past the run's own end the file is left as it is.
void cut_back_caller() {
  const int fd = caller_file.load(std::memory_order_relaxed);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0) return;
  const off_t kept = caller_kept.load(std::memory_order_relaxed);
  if (st.st_size > kept && st.st_size <= caller_end.load(std::memory_order_relaxed)) {
    static_cast<void>(::ftruncate(fd, kept));
  }
}

}  // namespace zarn
