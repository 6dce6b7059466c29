// POSIX: the signals of temporary_files.hpp (those a system lacks, as macOS SIGPWR and the
// real-time ones, left out) remove the temporary files, then take their
// default course; DeferInterrupts blocks them. The signals of the program's own faults
// (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGSYS, SIGABRT) are left to the sanitizers,
// debuggers and core dumps that watch for them; what such a run leaves, as what SIGKILL
// leaves, is removed by a later run (report_file.hpp).
#include <signal.h>

#include <array>
#include <cerrno>
#include <mutex>

#include "reports/interrupt_handlers.hpp"
#include "reports/temporary_files.hpp"

namespace trelba {
namespace {

std::once_flag handlers_installed;  // by whichever thread registers first

constexpr std::array kInterruptingSignals = {
    SIGHUP,    SIGINT,  SIGQUIT, SIGPIPE, SIGALRM,   SIGTERM,
    SIGUSR1,   SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF,
#ifdef SIGIO
    SIGIO,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
};

extern "C" void RemoveTemporaryFilesAndRaise(int signal_number) {
  const int saved_errno = errno;
  RemoveTemporaryFiles();
  // The signal stays blocked until this handler returns; then its default action ends
  // the process, which its parent sees as death by that signal.
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  ::sigemptyset(&default_action.sa_mask);
  ::sigaction(signal_number, &default_action, nullptr);
  ::raise(signal_number);
  errno = saved_errno;
}

// The signals above and the real-time ones (their number is known only at run time).
template <typename Visit>
void ForEachInterruptingSignal(Visit visit) {
  for (const int signal_number : kInterruptingSignals) visit(signal_number);
#ifdef SIGRTMIN
  for (int signal_number = SIGRTMIN; signal_number <= SIGRTMAX; ++signal_number) {
    visit(signal_number);
  }
#endif
}

sigset_t InterruptingSignals() {
  sigset_t set;
  ::sigemptyset(&set);
  ForEachInterruptingSignal([&](int signal_number) { ::sigaddset(&set, signal_number); });
  return set;
}

}  // namespace

void InstallInterruptHandlers() {
  std::call_once(handlers_installed, [] {
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryFilesAndRaise;
    action.sa_mask = InterruptingSignals();
    ForEachInterruptingSignal([&](int signal_number) {
      struct sigaction previous {};
      ::sigaction(signal_number, nullptr, &previous);
      // Only signals at their default action: one the caller chose to ignore (nohup, a
      // background job) stays ignored, and so does SIGXFSZ, which the process ignores so
      // that a write past the file-size limit fails and is reported
      // (driver/process_setup.hpp); one that a profiler or sanitizer handles stays its.
      if ((previous.sa_flags & SA_SIGINFO) != 0 || previous.sa_handler != SIG_DFL) return;
      ::sigaction(signal_number, &action, nullptr);
    });
  });
}

DeferInterrupts::DeferInterrupts() {
  const sigset_t interrupting = InterruptingSignals();
  ::sigprocmask(SIG_BLOCK, &interrupting, &previous_);
}

DeferInterrupts::~DeferInterrupts() {
  ::sigprocmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace trelba
