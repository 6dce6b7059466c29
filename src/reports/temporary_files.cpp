#include "reports/temporary_files.hpp"

#include <array>
#include <atomic>
#include <cstring>

#include "reports/interrupt_handlers.hpp"
#include "reports/report_file_system.hpp"

namespace trelba {
namespace {

// Read by the handlers: a slot's folder and name are complete before `active` is set, and
// a handler looks only at active slots.
struct TemporaryEntry {
  volatile sig_atomic_t active = 0;
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
    if (entry.active != 0) continue;
    entry.folder = folder;
    std::memcpy(entry.name.data(), name, length + 1);
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
    if (entry.active != 0) RemoveFile(entry.folder, entry.name.data());
  }
}

}  // namespace trelba
