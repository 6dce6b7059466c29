// Output compressed on its way to another sink (reports/output_compression.hpp tells the
// format from the output's name). Its text is cut into members of the format's size
// (member_codec.hpp), whatever pieces it is written in, so the bytes depend on the text
// alone, never on the threads.
//
// A member whose text is complete waits in a slot to be compressed: by any thread that
// takes it as side work (side_work.hpp), or by the writing thread itself when it needs the
// slot. Members go to the sink in order, written by the writing thread only. With one slot
// each member is compressed as soon as its text is complete.
//
// EndPart ends the member being filled early and writes every member: a table's rows of
// one input are so members of their own, which Truncate can drop again (where the sink
// written to can drop bytes) should the input fail.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "reports/member_codec.hpp"
#include "reports/output_buffer.hpp"
#include "reports/side_work.hpp"

namespace trelba {

class CompressedSink final : public ByteSink, public SideTask {
 public:
  // `slots` members in the making at once (at least one); `side` the queue that lends other
  // threads (or null). Throws std::bad_alloc when the slots' memory cannot be had.
  CompressedSink(ByteSink& to, CompressionFormat format, unsigned slots, SideWork* side);
  ~CompressedSink() override;
  CompressedSink(const CompressedSink&) = delete;
  CompressedSink& operator=(const CompressedSink&) = delete;

  // From one thread at a time (the writing thread may change from one call to the next).
  bool Write(const char* data, std::size_t size) override;
  bool EndPart() override;
  bool CanTruncate() const override { return to_.CanTruncate(); }
  // Only back to where the last part ended (anything else fails).
  bool Truncate(std::uint64_t size) override;
  // Compresses and writes what is left, then the format's end; false when a member could
  // not be made or written (the cause in error()).
  bool Finish();

  void RunOnePiece() override;

 private:
  enum class Stage { kFree, kFilling, kWaiting, kCompressing, kDone };
  struct Slot {
    std::unique_ptr<char[]> text;
    std::size_t text_size = 0;
    std::unique_ptr<char[]> member;
    std::size_t member_size = 0;  // 0 when it could not be made
    std::unique_ptr<MemberCodec> codec;
    Stage stage = Stage::kFree;
    std::uint64_t order = 0;  // among the members
  };

  Slot* OldestWaiting();  // under mutex_
  Slot* NextDone();       // the member next in order when it is done; under mutex_
  Slot& Filling();
  void Seal();
  // Seals the member being filled, if it holds text (or `even_empty`), else lets it go.
  void EndMember(bool even_empty);
  void Compress(Slot& slot);
  // Writes every member that is done and next in order; with `wait`, waits for them all.
  void WriteDone(bool wait);

  ByteSink& to_;
  CompressionFormat format_;
  MemberLayout layout_;
  SideWork* side_;
  std::vector<Slot> slots_;
  Slot* filling_ = nullptr;       // the writing thread's
  std::uint64_t sealed_ = 0;      // members whose text is complete
  std::uint64_t written_ = 0;     // members written
  std::uint64_t text_ = 0;        // bytes of text given
  std::uint64_t bytes_ = 0;       // bytes written to the sink
  std::uint64_t part_text_ = 0;   // text_ where the last part ended
  std::uint64_t part_bytes_ = 0;  // bytes_ there
  std::mutex mutex_;              // guards the slots' stages
  std::condition_variable done_;
};

}  // namespace trelba
