#include "reports/temporary_files.hpp"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace trelba {
namespace {

// Read by the signal handler: a slot's path is complete before `active` is set, and the
// handler looks only at active slots.
struct TemporaryEntry {
  volatile sig_atomic_t active = 0;
  std::array<char, kMaxTemporaryPath> path{};
};

std::array<TemporaryEntry, kMaxTemporaryFiles> entries;
bool handlers_installed = false;

constexpr std::array<int, 4> kInterruptingSignals = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

extern "C" void RemoveTemporaryFilesAndRaise(int signal_number) {
  const int saved_errno = errno;
  for (TemporaryEntry& entry : entries) {
    if (entry.active != 0) ::unlink(entry.path.data());
  }
  // The signal stays blocked until this handler returns; then its default action ends
  // the process, which its parent sees as death by that signal.
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  ::sigemptyset(&default_action.sa_mask);
  ::sigaction(signal_number, &default_action, nullptr);
  ::raise(signal_number);
  errno = saved_errno;
}

void InstallHandlers() {
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

sigset_t InterruptingSignals() {
  sigset_t set;
  ::sigemptyset(&set);
  for (const int signal_number : kInterruptingSignals) ::sigaddset(&set, signal_number);
  return set;
}

}  // namespace

TemporarySlot RegisterTemporaryFile(const char* path) {
  if (!handlers_installed) InstallHandlers();
  const std::size_t length = std::strlen(path);
  if (length >= kMaxTemporaryPath) return kNoTemporarySlot;
  for (TemporarySlot slot = 0; slot < kMaxTemporaryFiles; ++slot) {
    TemporaryEntry& entry = entries[slot];
    if (entry.active != 0) continue;
    std::memcpy(entry.path.data(), path, length + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    entry.active = 1;
    return slot;
  }
  return kNoTemporarySlot;
}

void ForgetTemporaryFile(TemporarySlot slot) {
  if (slot < kMaxTemporaryFiles) entries[slot].active = 0;
}

DeferInterrupts::DeferInterrupts() {
  const sigset_t interrupting = InterruptingSignals();
  ::sigprocmask(SIG_BLOCK, &interrupting, &previous_);
}

DeferInterrupts::~DeferInterrupts() {
  ::sigprocmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace trelba
