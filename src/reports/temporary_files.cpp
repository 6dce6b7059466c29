#include "reports/temporary_files.hpp"

#include <array>
#include <atomic>
#include <cstring>

#include "reports/interrupt_handlers.hpp"
#include "reports/report_file_system.hpp"

namespace trelba {
namespace {

// Claimed by one thread at a time (kFree to kFilling, by compare and exchange, so that two
// threads registering at once never take one slot) and read by the handlers: a slot's
// folder and name are complete before it turns kActive, and a handler looks only at
// active slots.
enum SlotState : int { kFree, kFilling, kActive };
static_assert(std::atomic<int>::is_always_lock_free, "read by signal handlers");

struct TemporaryEntry {
  std::atomic<int> state{kFree};
  int folder = -1;
  std::array<char, kMaxTemporaryPath> name{};
};

std::array<TemporaryEntry, kMaxTemporaryFiles> entries;

}  // namespace

TemporarySlot RegisterTemporaryFile(int folder, const char* name) {
  InstallInterruptHandlers();
  const std::size_t length = std::strlen(name);
  if (length >= kMaxTemporaryPath) return kNoTemporarySlot;
  for (TemporarySlot slot = 0; slot < kMaxTemporaryFiles; ++slot) {
    TemporaryEntry& entry = entries[slot];
    int expected = kFree;
    if (!entry.state.compare_exchange_strong(expected, kFilling)) continue;
    entry.folder = folder;
    std::memcpy(entry.name.data(), name, length + 1);
    entry.state.store(kActive);
    return slot;
  }
  return kNoTemporarySlot;
}

void ForgetTemporaryFile(TemporarySlot slot) {
  if (slot < kMaxTemporaryFiles) entries[slot].state.store(kFree);
}

void RemoveTemporaryFiles() {
  for (TemporaryEntry& entry : entries) {
    if (entry.state.load() == kActive) RemoveFile(entry.folder, entry.name.data());
  }
}

}  // namespace trelba
