// Linux: SIGINT, SIGTERM, SIGHUP and SIGPIPE remove the temporary files, then take their
// default course; DeferInterrupts blocks them.
#include <signal.h>

#include <array>
#include <cerrno>

#include "reports/interrupt_handlers.hpp"
#include "reports/temporary_files.hpp"

namespace trelba {
namespace {

bool handlers_installed = false;

constexpr std::array<int, 4> kInterruptingSignals = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

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

sigset_t InterruptingSignals() {
  sigset_t set;
  ::sigemptyset(&set);
  for (const int signal_number : kInterruptingSignals) ::sigaddset(&set, signal_number);
  return set;
}

}  // namespace

void InstallInterruptHandlers() {
  if (handlers_installed) return;
  handlers_installed = true;
  for (const int signal_number : kInterruptingSignals) {
    struct sigaction previous {};
    ::sigaction(signal_number, nullptr, &previous);
    // A signal the caller chose to ignore (nohup, a background job) stays ignored.
    if (previous.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryFilesAndRaise;
    ::sigemptyset(&action.sa_mask);
    for (const int other : kInterruptingSignals) ::sigaddset(&action.sa_mask, other);
    ::sigaction(signal_number, &action, nullptr);
  }
}

DeferInterrupts::DeferInterrupts() {
  const sigset_t interrupting = InterruptingSignals();
  ::sigprocmask(SIG_BLOCK, &interrupting, &previous_);
}

DeferInterrupts::~DeferInterrupts() {
  ::sigprocmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace trelba
