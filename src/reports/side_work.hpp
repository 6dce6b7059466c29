// Work that a thread with nothing better to do may take on: the compression of an output's
// blocks, the cells of the columns of the whole input ahead of the rows that take them. An
// output posts a piece for every block it has ready (SideTask); the pipeline's
// threads (driver/ordered_pipeline.hpp), the only threads of a run, run pieces whenever they
// would otherwise wait. Nothing here starts a thread: without a pipeline, or with one
// worker, no piece is taken, and each output does its own pieces itself.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>

namespace trelba {

// Whoever posts pieces: runs one of its pieces (if one is still waiting) when asked.
class SideTask {
 public:
  virtual ~SideTask() = default;
  virtual void RunOnePiece() = 0;
};

class SideWork {
 public:
  // Called after every post, to wake the threads that take pieces (under this queue's lock:
  // it must take no lock that is held while Post or Withdraw is called). Empty: none.
  void SetWaker(std::function<void()> waker);

  // One piece more of `task`'s to be run. Allocates nothing; a task among more than the
  // few that can post at once (kTasks) is left to do its pieces itself.
  void Post(SideTask& task);
  // Runs one posted piece, if any; false when none was waiting.
  bool RunOne();
  // Whether a piece is waiting (without a lock: a hint for a thread about to wait).
  bool Pending() const { return pending_.load(std::memory_order_acquire) != 0; }
  // Drops `task`'s pieces and waits until none of them runs: after it, no thread calls
  // `task` (before `task` is destroyed).
  void Withdraw(SideTask& task);

 private:
  static constexpr std::size_t kTasks = 8;
  struct Entry {
    SideTask* task = nullptr;
    std::size_t pieces = 0;   // posted, not yet taken
    std::size_t running = 0;  // taken, not yet finished
  };

  std::mutex mutex_;  // guards entries_ and waker_
  std::condition_variable finished_;
  std::array<Entry, kTasks> entries_{};
  std::atomic<std::size_t> pending_{0};
  std::function<void()> waker_;
};

}  // namespace trelba
