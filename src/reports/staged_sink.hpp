// Output held back until it is known to be wanted: the table rows of one input, which go
// to the table only when the whole input has been read. Up to kMemoryHeld bytes are kept
// in memory, the rest in files of the temporary folder (reports/spill_file.hpp): as they
// are while they stay within the input text they came from (AllowAsTheyAre), compressed
// beyond (reports/spill_compression.hpp: table rows shrink about fivefold), so that memory
// stays flat and the temporary space within about the input's size, at a small cost for
// rows no larger than their genes' text (deflating and inflating them was most of what
// holding them cost).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "reports/output_buffer.hpp"
#include "reports/spill_file.hpp"

namespace trelba {

class StagedSink final : public ByteSink {
 public:
  static constexpr std::size_t kMemoryHeld = kHeldInMemory;
  // The pieces the rows spilled as they are are read back in.
  static constexpr std::size_t kPlainBlock = std::size_t{1} << 16;

  StagedSink();
  ~StagedSink() override;
  StagedSink(const StagedSink&) = delete;
  StagedSink& operator=(const StagedSink&) = delete;

  bool Write(const char* data, std::size_t size) override;
  // Lets `bytes` more of what spills go to the file as they are (the text of the sequences
  // whose rows follow).
  void AllowAsTheyAre(std::uint64_t bytes) { allowed_ += bytes; }
  // Hands everything held to `out` and empties itself; false when it could not all be
  // read back (or an earlier write failed), the cause kept in error() until Drop().
  bool Release(OutputBuffer& out);
  // The same for held rows (lines), each given more at its end: `end_row(out)` is called
  // where each line end was, and the line end follows what it appends.
  bool ReleaseRows(OutputBuffer& out, const std::function<void(OutputBuffer&)>& end_row);
  // Drops everything held, and any failure.
  void Drop();
  // Whether the failure (error()) was the temporary folder's, not memory's.
  bool spill_failed() const { return spill_failed_; }

 private:
  struct Spill;
  // Hands everything held to `take`, in order, in pieces.
  bool ReleaseTo(const std::function<void(std::string_view)>& take);
  bool ReleaseSpill(const std::function<void(std::string_view)>& take);
  bool ReleasePlain(const std::function<void(std::string_view)>& take);
  bool SpillFailed();

  std::string memory_;
  std::unique_ptr<Spill> spill_;  // the rest, when there is more than memory holds
  std::uint64_t allowed_ = 0;     // bytes the file as they are may still take
  bool spill_failed_ = false;
};

}  // namespace trelba
