#include "driver/ordered_pipeline.hpp"

#include <algorithm>
#include <new>
#include <system_error>

#include "reports/temporary_files.hpp"

namespace trelba {

unsigned DefaultThreadCount() {
  // Asked of the system once: under Linux each answer opens and reads a file
  // (/sys/devices/system/cpu/online), three times an input, which made many small inputs
  // slower at the default threads than at -j 1.
  static const unsigned count = std::max(1u, std::thread::hardware_concurrency());
  return count;
}

OrderedPipeline::OrderedPipeline(PipelineJob& job, unsigned workers, SideWork* side)
    : job_(job), side_(workers > 1 ? side : nullptr), workers_(std::max(workers, 1u)) {
  // Room in the lists before any thread starts: the threads read them (under the lock).
  free_.reserve(batches());
  work_.reserve(batches());
  done_.reserve(batches());
  if (workers_ > 1) {
    // The threads start with interruptions blocked, so that only the caller's thread
    // takes them (and never while it holds them off).
    const DeferInterrupts blocked;
    try {
      threads_.reserve(workers_ - 1);
      for (unsigned i = 0; i + 1 < workers_; ++i) threads_.emplace_back([this, i] { Run(i); });
    } catch (const std::system_error&) {
      // Not every thread could be had: work with those that were, or alone.
      if (!threads_.empty()) {
        workers_ = static_cast<unsigned>(threads_.size()) + 1;
      } else {
        Finish();
        closed_ = false;
        workers_ = 1;  // Finish has left the side work
      }
    }
  }
  // As many batches as the threads had need (fewer when not every thread could be had).
  {
    const std::lock_guard lock(mutex_);
    for (std::size_t b = 0; b < batches(); ++b) free_.push_back(b);
  }
  if (side_ != nullptr) {
    side_->SetWaker([this] {
      { const std::lock_guard lock(mutex_); }  // a thread about to wait now waits
      work_ready_.notify_one();
      batch_freed_.notify_all();
    });
  }
}

OrderedPipeline::~OrderedPipeline() {
  Finish();
}

bool OrderedPipeline::WorkHere(std::unique_lock<std::mutex>& lock) {
  if (work_.empty()) return false;
  const Submitted next = work_.front();
  work_.erase(work_.begin());
  lock.unlock();
  job_.Work(next.batch, caller());
  lock.lock();
  done_.push_back(next);
  // The writing is the threads': a write that waits for the disk must not stop the reading.
  if (WritePending()) work_ready_.notify_one();
  return true;
}

bool OrderedPipeline::HelpHere(std::unique_lock<std::mutex>& lock) {
  SideWork* const side = side_;
  if (side == nullptr || !side->Pending()) return false;
  lock.unlock();
  side->RunOne();
  lock.lock();
  return true;
}

bool OrderedPipeline::WritePending() const {
  return !writing_ && std::any_of(done_.begin(), done_.end(),
                                  [&](const Submitted& s) { return s.position == next_write_; });
}

std::size_t OrderedPipeline::Take() {
  if (workers_ == 1) return 0;
  std::unique_lock lock(mutex_);
  while (free_.empty()) {
    if (!WorkHere(lock) && !HelpHere(lock)) batch_freed_.wait(lock);
  }
  // The batch freed last, whose memory is the likeliest still in the cache: an input of one
  // batch after another takes the same one each time.
  const std::size_t batch = free_.back();
  free_.pop_back();
  return batch;
}

void OrderedPipeline::Submit(std::size_t batch) {
  if (workers_ == 1) {
    job_.Work(batch, 0);
    job_.Write(batch);
    return;
  }
  {
    std::lock_guard lock(mutex_);
    work_.push_back({next_position_++, batch});
  }
  work_ready_.notify_one();
}

void OrderedPipeline::RunHere(std::size_t batch) {
  if (workers_ == 1) {
    Submit(batch);
    return;
  }
  {
    std::unique_lock lock(mutex_);
    while (next_write_ != next_position_) {
      if (!WorkHere(lock) && !HelpHere(lock)) batch_freed_.wait(lock);
    }
  }
  job_.Work(batch, caller());
  job_.Write(batch);
  {
    std::lock_guard lock(mutex_);
    free_.push_back(batch);
  }
  batch_freed_.notify_one();
}

void OrderedPipeline::Drain() {
  if (workers_ == 1) return;
  std::unique_lock lock(mutex_);
  while (free_.size() != batches()) {
    if (!WorkHere(lock) && !HelpHere(lock)) batch_freed_.wait(lock);
  }
}

void OrderedPipeline::Finish() {
  // Its pieces are their owners' again. The waker goes first, outside mutex_, which it
  // takes under the queue's lock.
  SideWork* side = nullptr;
  {
    std::lock_guard lock(mutex_);
    side = side_;
  }
  if (side != nullptr) side->SetWaker(nullptr);
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    side_ = nullptr;
  }
  work_ready_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

void OrderedPipeline::Run(unsigned worker) {
  for (;;) {
    Submitted next{};
    {
      std::unique_lock lock(mutex_);
      work_ready_.wait(lock, [&] {
        return closed_ || !work_.empty() || WritePending() ||
               (side_ != nullptr && side_->Pending());
      });
      if (work_.empty()) {
        if (WritePending()) {
          // A batch the caller worked on is next in order: write it, and what follows.
          writing_ = true;
          lock.unlock();
          WriteReady();
        } else if (closed_) {
          return;  // with nothing left
        } else {
          SideWork* const side = side_;
          lock.unlock();
          side->RunOne();
        }
        continue;
      }
      next = work_.front();
      work_.erase(work_.begin());
    }
    job_.Work(next.batch, worker);
    bool take_turn = false;
    {
      std::lock_guard lock(mutex_);
      done_.push_back(next);
      take_turn = !writing_;
      writing_ = true;
    }
    if (take_turn) WriteReady();
  }
}

// Writes every finished batch that is next in order, for the worker that holds the writing
// turn. A worker that finishes a batch while another writes leaves it to that one and goes
// back to work, never waiting: the writer looks for the next batch once more, under the
// same lock, before it gives up the turn.
void OrderedPipeline::WriteReady() {
  for (;;) {
    Submitted next{};
    {
      std::lock_guard lock(mutex_);
      const auto found = std::find_if(done_.begin(), done_.end(), [&](const Submitted& s) {
        return s.position == next_write_;
      });
      if (found == done_.end()) {
        writing_ = false;
        return;
      }
      next = *found;
      done_.erase(found);
    }
    job_.Write(next.batch);
    {
      std::lock_guard lock(mutex_);
      ++next_write_;
      free_.push_back(next.batch);
    }
    batch_freed_.notify_one();
  }
}

BlockPrefetch::BlockPrefetch(std::size_t block_size) : block_size_(block_size), blocks_(4) {
  free_.reserve(blocks_.size());
  filled_.reserve(blocks_.size());
  for (Block& block : blocks_) {
    block.data.reset(new char[block_size_]);
    free_.push_back(&block);
  }
  const DeferInterrupts blocked;  // in the new thread too, as the workers'
  thread_ = std::thread([this] { Fill(); });
}

BlockPrefetch::~BlockPrefetch() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BlockPrefetch::Start(ByteSource& source) {
  {
    std::lock_guard lock(mutex_);
    source_ = &source;
    out_of_memory_.store(false);
  }
  changed_.notify_all();
}

std::ptrdiff_t BlockPrefetch::Next(const char*& data) {
  std::unique_lock lock(mutex_);
  if (in_use_ != nullptr) free_.push_back(in_use_);
  in_use_ = nullptr;
  changed_.notify_all();
  changed_.wait(lock, [&] { return !filled_.empty(); });
  in_use_ = filled_.front();
  filled_.erase(filled_.begin());
  data = in_use_->data.get();
  return in_use_->size;
}

void BlockPrefetch::Stop() {
  std::unique_lock lock(mutex_);
  source_ = nullptr;
  changed_.wait(lock, [&] { return !reading_; });
  if (in_use_ != nullptr) free_.push_back(in_use_);
  in_use_ = nullptr;
  for (Block* block : filled_) free_.push_back(block);
  filled_.clear();
}

void BlockPrefetch::Fill() {
  for (;;) {
    Block* block = nullptr;
    ByteSource* source = nullptr;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return quit_ || (source_ != nullptr && !free_.empty()); });
      if (quit_) return;
      block = free_.front();
      free_.erase(free_.begin());
      source = source_;
      reading_ = true;
    }
    try {
      block->size = source->Read(block->data.get(), block_size_);
    } catch (const std::bad_alloc&) {
      // Memory that runs out while decoding fails the input, never the process.
      block->size = -1;
      out_of_memory_.store(true);
    }
    {
      std::lock_guard lock(mutex_);
      reading_ = false;
      filled_.push_back(block);
      // The end, or an error: nothing more to read from this source.
      if (block->size <= 0) source_ = nullptr;
    }
    changed_.notify_all();
  }
}

}  // namespace trelba
