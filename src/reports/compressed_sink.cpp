#include "reports/compressed_sink.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace trelba {

CompressedSink::CompressedSink(ByteSink& to, CompressionFormat format, unsigned slots,
                               SideWork* side)
    : to_(to),
      format_(format),
      layout_(LayoutOf(format)),
      side_(slots > 1 ? side : nullptr),
      slots_(std::max(slots, 1u)) {
  for (Slot& slot : slots_) {
    slot.text.reset(new char[layout_.text]);
    slot.member.reset(new char[layout_.bound]);
    slot.codec = MakeMemberCodec(format_);
  }
}

CompressedSink::~CompressedSink() {
  if (side_ != nullptr) side_->Withdraw(*this);
}

bool CompressedSink::Write(const char* data, std::size_t size) {
  while (size != 0 && !error_) {
    Slot& slot = Filling();
    const std::size_t n = std::min(size, layout_.text - slot.text_size);
    std::memcpy(slot.text.get() + slot.text_size, data, n);
    slot.text_size += n;
    text_ += n;
    data += n;
    size -= n;
    if (slot.text_size == layout_.text) Seal();
  }
  return !error_;
}

bool CompressedSink::EndPart() {
  EndMember(false);
  WriteDone(true);
  part_text_ = text_;
  part_bytes_ = bytes_;
  return !error_;
}

bool CompressedSink::Truncate(std::uint64_t size) {
  if (size != part_text_) return Fail({EINVAL});
  {
    // Every member begun since drops, once no thread is compressing one.
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] {
      return std::none_of(slots_.begin(), slots_.end(),
                          [](const Slot& slot) { return slot.stage == Stage::kCompressing; });
    });
    for (Slot& slot : slots_) slot.stage = Stage::kFree;
    filling_ = nullptr;
    written_ = sealed_;
  }
  if (bytes_ != part_bytes_ && !to_.Truncate(part_bytes_)) return Fail(to_.error());
  text_ = part_text_;
  bytes_ = part_bytes_;
  return !error_;
}

bool CompressedSink::Finish() {
  // An output of no text is still one member: every format's tools read an empty text.
  EndMember(bytes_ == 0 && written_ == sealed_);
  WriteDone(true);
  if (!error_ && !layout_.end.empty() && !to_.Write(layout_.end.data(), layout_.end.size())) {
    Fail(to_.error());
  }
  return !error_;
}

void CompressedSink::EndMember(bool even_empty) {
  if (filling_ == nullptr && !even_empty) return;
  if (Filling().text_size != 0 || even_empty) {
    Seal();
    return;
  }
  const std::lock_guard lock(mutex_);
  filling_->stage = Stage::kFree;
  filling_ = nullptr;
}

void CompressedSink::RunOnePiece() {
  Slot* slot = nullptr;
  {
    const std::lock_guard lock(mutex_);
    slot = OldestWaiting();
    if (slot == nullptr) return;  // the writing thread took it
    slot->stage = Stage::kCompressing;
  }
  Compress(*slot);
}

CompressedSink::Slot* CompressedSink::OldestWaiting() {
  Slot* oldest = nullptr;
  for (Slot& slot : slots_) {
    if (slot.stage == Stage::kWaiting && (oldest == nullptr || slot.order < oldest->order)) {
      oldest = &slot;
    }
  }
  return oldest;
}

CompressedSink::Slot* CompressedSink::NextDone() {
  for (Slot& slot : slots_) {
    if (slot.stage == Stage::kDone && slot.order == written_) return &slot;
  }
  return nullptr;
}

CompressedSink::Slot& CompressedSink::Filling() {
  while (filling_ == nullptr) {
    WriteDone(false);
    std::unique_lock lock(mutex_);
    for (Slot& slot : slots_) {
      if (slot.stage != Stage::kFree) continue;
      slot.stage = Stage::kFilling;
      slot.text_size = 0;
      filling_ = &slot;
      break;
    }
    if (filling_ != nullptr) break;
    // Every slot is taken: compress the oldest waiting member here, or wait for the next
    // in order, which another thread is compressing.
    if (Slot* oldest = OldestWaiting()) {
      oldest->stage = Stage::kCompressing;
      lock.unlock();
      Compress(*oldest);
    } else {
      done_.wait(lock, [&] { return NextDone() != nullptr; });
    }
  }
  return *filling_;
}

void CompressedSink::Seal() {
  Slot* const sealed = filling_;
  filling_ = nullptr;
  {
    const std::lock_guard lock(mutex_);
    sealed->order = sealed_++;
    sealed->stage = side_ != nullptr ? Stage::kWaiting : Stage::kCompressing;
  }
  if (side_ != nullptr) {
    side_->Post(*this);
  } else {
    Compress(*sealed);
  }
  WriteDone(false);
}

void CompressedSink::Compress(Slot& slot) {
  const std::size_t size =
      slot.codec->Compress({slot.text.get(), slot.text_size}, slot.member.get());
  {
    const std::lock_guard lock(mutex_);
    slot.member_size = size;
    slot.stage = Stage::kDone;
  }
  done_.notify_all();
}

void CompressedSink::WriteDone(bool wait) {
  for (;;) {
    Slot* next = nullptr;
    {
      std::unique_lock lock(mutex_);
      next = NextDone();
      if (next == nullptr) {
        if (!wait || written_ == sealed_) return;
        if (Slot* oldest = OldestWaiting()) {
          oldest->stage = Stage::kCompressing;
          lock.unlock();
          Compress(*oldest);
          continue;
        }
        done_.wait(lock, [&] { return (next = NextDone()) != nullptr; });
      }
    }
    // Outside the lock: the threads compress on while the member is written.
    if (error_) {
      // Dropped, as every member after a failure.
    } else if (next->member_size == 0) {
      Fail({0, kOutOfMemory});
    } else if (to_.Write(next->member.get(), next->member_size)) {
      bytes_ += next->member_size;
    } else {
      Fail(to_.error());
    }
    const std::lock_guard lock(mutex_);
    next->stage = Stage::kFree;
    ++written_;
  }
}

}  // namespace trelba
