#include "input/parallel_inflate.hpp"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "input/gzip_members.hpp"
#include "input/input_file_system.hpp"

namespace trelba {
namespace {

constexpr std::size_t kLargestMember = 1 << 16;  // of compressed bytes, and of text
constexpr std::size_t kFixedHeader = 12;         // up to and with XLEN
constexpr std::size_t kTrailer = 8;              // CRC32 and ISIZE
constexpr unsigned kMostWorkers = 4;
constexpr std::size_t kSlotsPerWorker = 4;

// One member on its way: its compressed bytes, then its text.
struct Slot {
  enum class State { kStaging, kQueued, kDone };
  std::unique_ptr<unsigned char[]> in;
  std::unique_ptr<unsigned char[]> out;
  std::size_t in_size = 0;
  std::size_t out_size = 0;
  std::size_t handed_out = 0;  // of its text
  State state = State::kStaging;
  bool whole = false;  // inflated whole and sound; false: the sequential decoder takes over
};

class ParallelGzipDecoder final : public Decoder {
 public:
  // Has its memory and threads, or throws std::bad_alloc or std::system_error.
  explicit ParallelGzipDecoder(unsigned workers) : slots_(workers * kSlotsPerWorker) {
    for (Slot& slot : slots_) {
      slot.in.reset(new unsigned char[kLargestMember]);
      slot.out.reset(new unsigned char[kLargestMember]);
    }
    for (unsigned w = 0; w < workers; ++w) {
      inflaters_.push_back(MakeMemberInflater());
      if (inflaters_.back() == nullptr) throw std::bad_alloc();
    }
    threads_.reserve(workers);
    try {
      for (unsigned w = 0; w < workers; ++w) {
        threads_.push_back(StartQuietThread([this, w] { Work(*inflaters_[w]); }));
      }
    } catch (const std::system_error&) {
      if (threads_.empty()) throw;  // else work with those that were had
    }
  }

  ~ParallelGzipDecoder() override { StopWorkers(); }
  ParallelGzipDecoder(const ParallelGzipDecoder&) = delete;
  ParallelGzipDecoder& operator=(const ParallelGzipDecoder&) = delete;

  DecodeStep Decode(const unsigned char* in, std::size_t in_size, bool last, unsigned char* out,
                    std::size_t out_size) override {
    DecodeStep step;
    for (;;) {
      if (sequential_ != nullptr) return Sequential(in, in_size, last, out, out_size, step);
      if (queued_ > 0 && HeadDone()) {
        Slot& head = slots_[head_];
        if (!head.whole) {
          // The text before it goes out first: a step that ends in an error gives none.
          if (step.produced > 0) return step;
          HandOver();
          continue;
        }
        const std::size_t n = std::min(out_size - step.produced, head.out_size - head.handed_out);
        std::memcpy(out + step.produced, head.out.get() + head.handed_out, n);
        step.produced += n;
        head.handed_out += n;
        if (head.handed_out == head.out_size) {
          head.state = Slot::State::kStaging;
          head_ = (head_ + 1) % slots_.size();
          --queued_;
        }
        if (step.produced == out_size) return step;
        continue;
      }
      if (!staging_closed_ && queued_ < slots_.size() && step.consumed < in_size) {
        step.consumed += Stage(in + step.consumed, in_size - step.consumed);
        continue;
      }
      if (step.consumed == in_size && !last) return step;  // for more input
      if (step.consumed == in_size && staged_ > 0 && !staging_closed_) {
        CloseStaging();  // a member cut short at the end of the file
        continue;
      }
      if (queued_ == 0) {
        step.status = DecodeStatus::kEnd;
        return step;
      }
      if (step.produced > 0) return step;
      WaitForHead();
    }
  }

 private:
  Slot& Staging() { return slots_[(head_ + queued_) % slots_.size()]; }

  // Copies the next member's bytes into its slot, `in` holding `size` of them (at least
  // one): how many were taken. A whole member goes to the workers; bytes that do not begin
  // one close the staging.
  std::size_t Stage(const unsigned char* in, std::size_t size) {
    Slot& slot = Staging();
    std::size_t taken = 0;
    for (;;) {
      const std::size_t target = member_size_ != 0 ? member_size_ : header_need_;
      const std::size_t n = std::min(target - staged_, size - taken);
      std::memcpy(slot.in.get() + staged_, in + taken, n);
      staged_ += n;
      taken += n;
      if (staged_ < target) return taken;
      if (member_size_ != 0) {
        Submit(slot);
        return taken;
      }
      const BgzfHeader header = ScanBgzfHeader(slot.in.get(), staged_);
      if (header.verdict == BgzfHeader::Verdict::kNotBgzf) {
        CloseStaging();
        return taken;
      }
      if (header.verdict == BgzfHeader::Verdict::kNeedMore) header_need_ = header.size;
      if (header.verdict == BgzfHeader::Verdict::kBgzf) member_size_ = header.size;
    }
  }

  void Submit(Slot& slot) {
    {
      std::lock_guard lock(mutex_);
      slot.in_size = staged_;
      slot.handed_out = 0;
      slot.state = Slot::State::kQueued;
      work_.push_back(&slot);
    }
    work_ready_.notify_one();
    ++queued_;
    staged_ = 0;
    member_size_ = 0;
    header_need_ = kFixedHeader;
  }

  // The staged bytes begin no whole BGZF member: they, and all that follows them, are the
  // sequential decoder's, once every member before them has been handed out.
  void CloseStaging() {
    Slot& slot = Staging();
    {
      std::lock_guard lock(mutex_);
      slot.in_size = staged_;
      slot.whole = false;
      slot.state = Slot::State::kDone;
    }
    ++queued_;
    staging_closed_ = true;
  }

  bool HeadDone() {
    std::lock_guard lock(mutex_);
    return slots_[head_].state == Slot::State::kDone;
  }

  void WaitForHead() {
    std::unique_lock lock(mutex_);
    member_done_.wait(lock, [&] { return slots_[head_].state == Slot::State::kDone; });
  }

  // From the oldest member on, the sequential decoder reads: the compressed bytes of that member
  // and of every one staged after it, then the rest of the input.
  void HandOver() {
    StopWorkers();
    for (std::size_t k = 0; k < queued_; ++k) {
      const Slot& slot = slots_[(head_ + k) % slots_.size()];
      pending_.insert(pending_.end(), slot.in.get(), slot.in.get() + slot.in_size);
    }
    if (!staging_closed_) {
      pending_.insert(pending_.end(), Staging().in.get(), Staging().in.get() + staged_);
    }
    slots_.clear();
    sequential_ = MakeGzipDecoderAfterMember();
    if (sequential_ == nullptr) failed_ = true;
  }

  DecodeStep Sequential(const unsigned char* in, std::size_t in_size, bool last, unsigned char* out,
                        std::size_t out_size, DecodeStep step) {
    if (failed_) return Failed(step, kOutOfMemory);
    if (pending_used_ < pending_.size()) {
      const DecodeStep part = sequential_->Decode(
          pending_.data() + pending_used_, pending_.size() - pending_used_,
          last && step.consumed == in_size, out + step.produced, out_size - step.produced);
      pending_used_ += part.consumed;
      step.produced += part.produced;
      if (part.status != DecodeStatus::kMore) {
        step.status = part.status;
        step.error = part.error;
        return step;
      }
      if (pending_used_ < pending_.size() || step.produced == out_size) return step;
      std::vector<unsigned char>().swap(pending_);
      pending_used_ = 0;
    }
    if (step.consumed == in_size && !last) return step;
    const DecodeStep part = sequential_->Decode(in + step.consumed, in_size - step.consumed, last,
                                                out + step.produced, out_size - step.produced);
    step.consumed += part.consumed;
    step.produced += part.produced;
    step.status = part.status;
    step.error = part.error;
    return step;
  }

  void Work(MemberInflater& inflater) {
    for (;;) {
      Slot* slot = nullptr;
      {
        std::unique_lock lock(mutex_);
        work_ready_.wait(lock, [&] { return quit_ || !work_.empty(); });
        if (quit_) return;
        slot = work_.front();
        work_.pop_front();
      }
      std::size_t produced = 0;
      const bool whole = inflater.InflateWhole(slot->in.get(), slot->in_size, slot->out.get(),
                                               kLargestMember, produced);
      {
        std::lock_guard lock(mutex_);
        slot->out_size = produced;
        slot->whole = whole;
        slot->state = Slot::State::kDone;
      }
      member_done_.notify_one();
    }
  }

  void StopWorkers() {
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    work_ready_.notify_all();
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
  }

  // The ring: slots_[head_] is the oldest member not yet handed out, queued_ members from
  // it on are with the workers or done, and the one after them is being staged.
  std::vector<Slot> slots_;
  std::size_t head_ = 0;
  std::size_t queued_ = 0;
  std::size_t staged_ = 0;       // bytes of the member being staged
  std::size_t member_size_ = 0;  // its size, once its header has told it
  std::size_t header_need_ = kFixedHeader;
  bool staging_closed_ = false;

  std::vector<std::unique_ptr<MemberInflater>> inflaters_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;  // guards the slots' states, work_ and quit_
  std::condition_variable work_ready_;
  std::condition_variable member_done_;
  std::deque<Slot*> work_;
  bool quit_ = false;

  // After the hand-over.
  std::unique_ptr<Decoder> sequential_;
  std::vector<unsigned char> pending_;
  std::size_t pending_used_ = 0;
  bool failed_ = false;
};

}  // namespace

BgzfHeader ScanBgzfHeader(const unsigned char* start, std::size_t size) {
  constexpr BgzfHeader kNo{BgzfHeader::Verdict::kNotBgzf, 0};
  // ID1 ID2, deflate, FEXTRA set.
  constexpr unsigned char kLead[] = {0x1f, 0x8b, 8};
  for (std::size_t k = 0; k < std::min(size, std::size(kLead)); ++k) {
    if (start[k] != kLead[k]) return kNo;
  }
  if (size > 3 && (start[3] & 4) == 0) return kNo;
  if (size < kFixedHeader) return {BgzfHeader::Verdict::kNeedMore, kFixedHeader};
  const std::size_t extra_end = kFixedHeader + (start[10] | std::size_t{start[11]} << 8);
  if (extra_end + kTrailer > kLargestMember) return kNo;
  if (size < extra_end) return {BgzfHeader::Verdict::kNeedMore, extra_end};
  for (std::size_t at = kFixedHeader; at + 4 <= extra_end;) {
    const std::size_t length = start[at + 2] | std::size_t{start[at + 3]} << 8;
    if (at + 4 + length > extra_end) return kNo;
    if (start[at] == 'B' && start[at + 1] == 'C' && length == 2) {
      const std::size_t member = (start[at + 4] | std::size_t{start[at + 5]} << 8) + 1;
      if (member < extra_end + kTrailer) return kNo;
      return {BgzfHeader::Verdict::kBgzf, member};
    }
    at += 4 + length;
  }
  return kNo;
}

std::unique_ptr<Decoder> MakeParallelGzipDecoder(unsigned threads, const unsigned char* start,
                                                 std::size_t size) {
  if (threads <= 1) return nullptr;
  if (ScanBgzfHeader(start, size).verdict != BgzfHeader::Verdict::kBgzf) return nullptr;
  try {
    return std::make_unique<ParallelGzipDecoder>(std::min(threads, kMostWorkers));
  } catch (const std::bad_alloc&) {
  } catch (const std::system_error&) {
  }
  return nullptr;
}

}  // namespace trelba
