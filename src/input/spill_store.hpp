// Bytes kept for a while, read back at any place: up to a bound in memory, the rest in a
// file of the temporary folder that no name leads to (input/temporary_folder.hpp), so that
// memory does not grow with what is kept. The sequence of an annotated record and the
// features waiting for it live in two of these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "trelba/failure_cause.hpp"

namespace trelba {

class SpillStore {
 public:
  // Keeps up to `held` bytes in memory.
  explicit SpillStore(std::size_t held) : held_(held) {}
  ~SpillStore();
  SpillStore(const SpillStore&) = delete;
  SpillStore& operator=(const SpillStore&) = delete;

  // Empties the store; the memory it had stays for the next use.
  void Clear();
  // Adds `size` bytes at the end. False when they cannot be kept (the file cannot be
  // written), and from then on; the cause in error().
  bool Append(const char* data, std::size_t size);
  // Copies the `size` bytes at `offset` to `to`; false when they are not all there or
  // cannot be read back.
  bool Read(std::uint64_t offset, char* to, std::size_t size);

  std::uint64_t size() const { return size_; }
  bool failed() const { return static_cast<bool>(error_); }
  const FailureCause& error() const { return error_; }

 private:
  bool Fail(FailureCause cause);

  std::size_t held_;
  std::string memory_;          // the first bytes
  std::FILE* spill_ = nullptr;  // the rest, from memory_.size() on
  std::uint64_t size_ = 0;
  std::uint64_t file_at_ = 0;  // where the file's position stands (its bytes, not the store's)
  bool writing_ = true;        // the file's last operation was a write
  FailureCause error_;
};

}  // namespace trelba
