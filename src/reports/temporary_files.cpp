#include "reports/temporary_files.hpp"

#include <array>
#include <atomic>
#include <cstring>

#include "reports/interrupt_handlers.hpp"
#include "reports/report_file_system.hpp"

namespace trelba {
namespace {

// Read by the handlers: a slot's path is complete before `active` is set, and a handler
// looks only at active slots.
struct TemporaryEntry {
  volatile sig_atomic_t active = 0;
  std::array<char, kMaxTemporaryPath> path{};
};

std::array<TemporaryEntry, kMaxTemporaryFiles> entries;

}  // namespace

TemporarySlot RegisterTemporaryFile(const char* path) {
  InstallInterruptHandlers();
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

void RemoveTemporaryFiles() {
  for (TemporaryEntry& entry : entries) {
    if (entry.active != 0) RemoveFile(entry.path.data());
  }
}

}  // namespace trelba
