// The temporary files a run has created and not yet moved to their final names, and the
// handling that removes them when the run is interrupted (on POSIX every signal whose
// default action ends the process and that comes from outside it: SIGHUP, SIGINT, SIGQUIT,
// SIGPIPE, SIGALRM, SIGTERM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,
// SIGPWR, SIGSTKFLT and the real-time signals, those of them the system has; on Windows Ctrl-C,
// Ctrl-Break, closing the console, logging off, shutting down) before the process ends as it would
// have.
#pragma once

#include <signal.h>

#include <cstddef>

namespace trelba {

// At most this many temporary files exist at once.
inline constexpr std::size_t kMaxTemporaryFiles = 16;
// Longest name (with its terminating zero) the registry can hold.
inline constexpr std::size_t kMaxTemporaryPath = 4096;

// Index of a registered temporary file.
using TemporarySlot = std::size_t;
inline constexpr TemporarySlot kNoTemporarySlot = kMaxTemporaryFiles;

// Records the file `name` of the folder `folder` (as RemoveFile of report_file_system.hpp
// takes them: on POSIX a descriptor of the folder, which must stay open while the file is
// registered, and the base name) as a temporary file to remove if the run is interrupted;
// installs the handlers on first use. kNoTemporarySlot when the registry is full or the
// name too long.
TemporarySlot RegisterTemporaryFile(int folder, const char* name);

// The file of `slot` is no longer the registry's to remove (it has been renamed or
// removed already).
void ForgetTemporaryFile(TemporarySlot slot);

// While an object of this type lives, interruptions wait: a run that commits several
// reports commits all of them before it can be stopped.
class DeferInterrupts {
 public:
  DeferInterrupts();
  ~DeferInterrupts();
  DeferInterrupts(const DeferInterrupts&) = delete;
  DeferInterrupts& operator=(const DeferInterrupts&) = delete;

#ifndef _WIN32
 private:
  sigset_t previous_;
#endif
};

}  // namespace trelba
