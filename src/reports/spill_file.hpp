// Where a bounded store (staged rows, gene counts, a median's values) keeps what its
// memory does not hold: a file of the temporary folder (input/temporary_folder.hpp: TMPDIR,
// else /tmp or the system's own) that no name leads to, made at the first write, gone with
// the process however it ends. Its failures are marked in_temporary_folder. Written from the start,
// then read back from the start as often as needed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "trelba/failure_cause.hpp"

namespace trelba {

// What a store of rows or counts keeps in memory before its file takes the rest. Small:
// handing bytes to the file's cache costs less than a fault on each new page of memory
// (with --coa, a run held its rows and counts 25 % faster this way than in 4 MB of
// memory, in 7.5 MB less), and its memory stays flat.
inline constexpr std::size_t kHeldInMemory = std::size_t{256} << 10;

class SpillFile {
 public:
  SpillFile() = default;
  ~SpillFile();
  SpillFile(SpillFile&& other) noexcept;
  SpillFile& operator=(SpillFile&& other) noexcept;
  SpillFile(const SpillFile&) = delete;
  SpillFile& operator=(const SpillFile&) = delete;

  // Adds `size` bytes at the end; false, with the cause in error(), when the file cannot
  // be made or written (and every later call).
  bool Write(const void* data, std::size_t size);
  // Reads from the first byte again; false when it cannot.
  bool Rewind();
  // Up to `size` bytes from where the last read ended: how many in `got` (fewer only at
  // the end); false when they cannot be read.
  bool Read(void* data, std::size_t size, std::size_t& got);
  // Drops the file and any failure; the next Write makes a new one.
  void Clear();

  std::uint64_t size() const { return size_; }
  bool failed() const { return static_cast<bool>(error_); }
  const FailureCause& error() const { return error_; }

 private:
  bool Fail(int code);

  int fd_ = -1;
  std::uint64_t size_ = 0;  // bytes written
  bool reading_ = false;    // the descriptor is not at the end
  FailureCause error_;
};

}  // namespace trelba
