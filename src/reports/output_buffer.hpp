// Report text is built in one large buffer and handed to its destination in big blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "trelba/failure_cause.hpp"

namespace trelba {

// Where a report's bytes go: a file, or memory.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Takes all `size` bytes; false when they could not all be written, with the cause in
  // error().
  virtual bool Write(const char* data, std::size_t size) = 0;
  // Ends the part written so far (a compressed sink: its member ends here, the next text
  // begins a new one) and writes it whole, waiting for it: a failure to write it shows now,
  // and Truncate can take the sink back to this point. False after a failure.
  virtual bool EndPart() { return !error_; }
  // Whether Truncate can drop what was written (a report file can; a stream, or a sink that
  // compresses, cannot): asked before anything is written that may have to go.
  virtual bool CanTruncate() const { return false; }
  // Drops every byte written after the first `size`, so that the next write follows them;
  // false when it could not be done (the cause in error()).
  virtual bool Truncate(std::uint64_t size) {
    (void)size;
    return false;
  }

  // Why the sink failed (to open, write, close or be put in place); nothing while it has
  // not.
  const FailureCause& error() const { return error_; }

 protected:
  // Keeps `cause` (KeepFirst) and returns false.
  bool Fail(FailureCause cause) {
    KeepFirst(error_, cause);
    return false;
  }

  FailureCause error_;
};

// Appends to a string (tests, fuzzing).
class StringSink final : public ByteSink {
 public:
  bool Write(const char* data, std::size_t size) override {
    text.append(data, size);
    return true;
  }
  std::string text;
};

class OutputBuffer {
 public:
  static constexpr std::size_t kDefaultCapacity = 1 << 16;

  explicit OutputBuffer(ByteSink& sink, std::size_t capacity = kDefaultCapacity);

  // Room for at least `size` more bytes (size <= capacity), written from the returned
  // pointer on and then committed with Commit(end).
  char* Reserve(std::size_t size) {
    if (capacity_ - used_ < size) Flush();
    return data_.get() + used_;
  }
  void Commit(const char* end) { used_ = static_cast<std::size_t>(end - data_.get()); }

  // Copies `text` in; a text at least as large as the buffer goes straight to the sink,
  // after what is buffered.
  void Append(std::string_view text);

  // The bytes buffered and not yet handed to the sink, and dropping them (for a buffer
  // whose owner hands its text on itself).
  std::string_view pending() const { return {data_.get(), used_}; }
  void Clear() { used_ = 0; }

  // Hands the buffered bytes to the sink. After a failed write the buffer drops what it
  // is given and failed() stays true.
  bool Flush();
  // Flush, and the sink's EndPart.
  bool EndPart();
  // The bytes given to the buffer so far (to the sink and buffered).
  std::uint64_t size() const { return handed_ + used_; }
  // Whether its sink can drop what it was given after a size(), and the dropping: false
  // when the sink could not, after which the buffer has failed.
  bool CanTruncate() const { return sink_.CanTruncate(); }
  bool Truncate(std::uint64_t size);
  bool failed() const { return failed_; }
  // Fails the buffer as a failed write would: what it holds, and is given, is dropped.
  void Fail() {
    failed_ = true;
    used_ = 0;
  }
  // Why it failed: its sink's error.
  const FailureCause& error() const { return sink_.error(); }

 private:
  ByteSink& sink_;
  std::unique_ptr<char[]> data_;
  std::size_t capacity_;
  std::size_t used_ = 0;
  std::uint64_t handed_ = 0;  // bytes handed to the sink
  bool failed_ = false;
};

}  // namespace trelba
