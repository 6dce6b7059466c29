#include "reports/side_work.hpp"

#include <utility>

namespace trelba {

void SideWork::SetWaker(std::function<void()> waker) {
  const std::lock_guard lock(mutex_);
  waker_ = std::move(waker);
}

void SideWork::Post(SideTask& task) {
  const std::lock_guard lock(mutex_);
  Entry* free = nullptr;
  for (Entry& entry : entries_) {
    if (entry.task == &task) {
      free = &entry;
      break;
    }
    if (entry.task == nullptr && free == nullptr) free = &entry;
  }
  if (free == nullptr) return;
  free->task = &task;
  ++free->pieces;
  pending_.fetch_add(1, std::memory_order_release);
  if (waker_) waker_();
}

bool SideWork::RunOne() {
  if (!Pending()) return false;
  Entry* taken = nullptr;
  {
    const std::lock_guard lock(mutex_);
    for (Entry& entry : entries_) {
      if (entry.pieces == 0) continue;
      taken = &entry;
      --entry.pieces;
      ++entry.running;
      pending_.fetch_sub(1, std::memory_order_release);
      break;
    }
  }
  if (taken == nullptr) return false;
  // The entry stays this task's while a piece of it runs (Withdraw waits for it).
  taken->task->RunOnePiece();
  {
    const std::lock_guard lock(mutex_);
    if (--taken->running == 0 && taken->pieces == 0) taken->task = nullptr;
  }
  finished_.notify_all();
  return true;
}

void SideWork::Withdraw(SideTask& task) {
  std::unique_lock lock(mutex_);
  for (Entry& entry : entries_) {
    if (entry.task != &task) continue;
    pending_.fetch_sub(entry.pieces, std::memory_order_release);
    entry.pieces = 0;
    finished_.wait(lock, [&] { return entry.task != &task || entry.running == 0; });
    if (entry.task == &task) entry.task = nullptr;
  }
}

}  // namespace trelba
