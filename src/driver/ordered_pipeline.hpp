// A small ordered pipeline, the only place of the program that starts threads but the
// inflaters of BGZF input (input/parallel_inflate.hpp).
//
// The caller fills batches in input order and submits them; workers work on them, any
// batch on any worker; finished batches are written one at a time, in the order they were
// submitted. What a batch is, how it is worked on and how it is written is the job's
// business: the pipeline sees batch numbers only. With one worker nothing runs on another
// thread: Submit works on the batch and writes it at once.
//
// The caller is one of the workers (the last): of W workers, W - 1 are threads. Whenever
// the caller would wait (for a free batch, for its turn, for the end) it works on a
// submitted batch instead. So the thread that reads the input is never one thread too
// many on the cores, time-sliced with the workers: where reading (inflating) is the longer
// part, it reads all the time and the threads analyse; where analysing is, the caller
// fills every free batch and then analyses beside them.
//
// Given a SideWork queue (reports/side_work.hpp), the threads, and the caller whenever it
// would wait, also run its pieces (the compression of the outputs' members), after the
// batches to work on and to write.
//
// Beside it, BlockPrefetch reads (and decompresses) the input on a thread of its own, a few
// blocks ahead of the caller.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "input/byte_source.hpp"
#include "reports/side_work.hpp"

namespace trelba {

// What flows through the pipeline, supplied by its user.
class PipelineJob {
 public:
  virtual ~PipelineJob() = default;
  // Works on batch `batch` on worker `worker` (0 to workers - 1); never called for one
  // worker from two threads at once.
  virtual void Work(std::size_t batch, unsigned worker) = 0;
  // Writes batch `batch`; called in submission order, one batch at a time.
  virtual void Write(std::size_t batch) = 0;
};

// Threads that analyse when the user does not say: one per core.
unsigned DefaultThreadCount();

class OrderedPipeline {
 public:
  // Starts `workers` - 1 threads, the caller being the last worker (none for one worker).
  // When not all threads can be had, runs with those that were, or with one worker in the
  // calling thread: the same work, the same bytes.
  OrderedPipeline(PipelineJob& job, unsigned workers, SideWork* side = nullptr);
  ~OrderedPipeline();
  OrderedPipeline(const OrderedPipeline&) = delete;
  OrderedPipeline& operator=(const OrderedPipeline&) = delete;

  unsigned workers() const { return workers_; }
  // How many batches the job must provide (numbered 0 to batches() - 1): enough for every
  // worker to hold one while the caller fills another and a third is written.
  std::size_t batches() const { return BatchesFor(workers_); }
  static std::size_t BatchesFor(unsigned workers) { return workers <= 1 ? 1 : workers + 3; }

  // A free batch for the caller to fill; until one is free, works on submitted batches.
  std::size_t Take();
  // Hands a filled batch on.
  void Submit(std::size_t batch);
  // Neither Take, Submit, RunHere nor Drain allocates memory.
  // Works on a filled batch and writes it in the calling thread when nothing submitted is
  // still to be written (so that it keeps its place in the order).
  void RunHere(std::size_t batch);
  // Works on submitted batches until every one has been written; the threads wait for more.
  void Drain();
  // Waits until every submitted batch has been written, and ends the threads.
  void Finish();

 private:
  void Run(unsigned worker);
  // Works on the oldest submitted batch in the caller's thread and leaves it to a thread to
  // write; false when no batch waits. `lock` holds mutex_.
  bool WorkHere(std::unique_lock<std::mutex>& lock);
  // Runs a piece of side work in the caller's thread; false when none waits. `lock` holds
  // mutex_.
  bool HelpHere(std::unique_lock<std::mutex>& lock);
  // Whether the batch next in order is done and no thread is writing; under mutex_.
  bool WritePending() const;
  void WriteReady();
  unsigned caller() const { return workers_ - 1; }  // the caller's worker number

  PipelineJob& job_;
  SideWork* side_ = nullptr;  // with threads only
  unsigned workers_ = 1;
  std::vector<std::thread> threads_;

  // Each list holds at most batches() entries, with room for them all from the start: no
  // call allocates, so that a caller whose memory ran out can still hand back its batches.
  std::mutex mutex_;  // guards everything below
  std::condition_variable work_ready_;
  std::condition_variable batch_freed_;
  std::vector<std::size_t> free_;
  struct Submitted {
    std::uint64_t position;  // submission order
    std::size_t batch;
  };
  std::vector<Submitted> work_;  // oldest first
  std::vector<Submitted> done_;
  std::uint64_t next_position_ = 0;
  std::uint64_t next_write_ = 0;
  bool closed_ = false;
  bool writing_ = false;  // a worker holds the writing turn
};

// Reads ByteSources on a thread of its own, a few blocks ahead of the caller: one source
// after another, the same thread and blocks for all of them.
class BlockPrefetch {
 public:
  explicit BlockPrefetch(std::size_t block_size);
  ~BlockPrefetch();
  BlockPrefetch(const BlockPrefetch&) = delete;
  BlockPrefetch& operator=(const BlockPrefetch&) = delete;

  // Starts reading `source`, which must outlive the next Stop().
  void Start(ByteSource& source);
  // The next block of the source: its size, 0 at its end, -1 after a read error. `data`
  // stays valid until the next call. Not to be called again after 0 or -1.
  std::ptrdiff_t Next(const char*& data);
  // Stops reading the source (at its end or before), once the read under way has returned;
  // what was read ahead is dropped.
  void Stop();
  // Whether the source's last read failed for want of memory.
  bool out_of_memory() const { return out_of_memory_.load(); }

 private:
  struct Block {
    std::unique_ptr<char[]> data;
    std::ptrdiff_t size = 0;
  };
  void Fill();

  std::size_t block_size_;
  std::vector<Block> blocks_;
  std::mutex mutex_;  // guards everything below
  std::condition_variable changed_;
  ByteSource* source_ = nullptr;  // being read, or null
  bool reading_ = false;          // the thread is in a Read
  std::vector<Block*> free_;      // room reserved for every block: no call allocates
  std::vector<Block*> filled_;    // oldest first
  Block* in_use_ = nullptr;
  bool quit_ = false;
  std::atomic<bool> out_of_memory_{false};
  std::thread thread_;
};

}  // namespace trelba
