// Where the text to analyse comes from: a file (input_file.hpp), or memory.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "trelba/failure_cause.hpp"

namespace trelba {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `capacity` bytes into `buffer`: the number read, 0 at the end, -1 after an
  // error (every later call fails too), whose cause error() then holds.
  virtual std::ptrdiff_t Read(char* buffer, std::size_t capacity) = 0;

  // Why reading failed; nothing while it has not.
  const FailureCause& error() const { return error_; }

 protected:
  // Records `cause` (the first one counts; with nothing known, an input/output error) and
  // returns -1.
  std::ptrdiff_t Fail(FailureCause cause);

  FailureCause error_;
};

inline std::ptrdiff_t ByteSource::Fail(FailureCause cause) {
  KeepFirst(error_, cause);
  return -1;
}

// A text in memory, handed out at most `piece` bytes at a time (0: as much as is asked).
class TextSource final : public ByteSource {
 public:
  explicit TextSource(std::string_view text, std::size_t piece = 0) : text_(text), piece_(piece) {}
  std::ptrdiff_t Read(char* buffer, std::size_t capacity) override {
    std::size_t n = std::min(capacity, text_.size());
    if (piece_ != 0) n = std::min(n, piece_);
    if (n == 0) return 0;  // an empty view's data() may be null
    std::memcpy(buffer, text_.data(), n);
    text_.remove_prefix(n);
    return static_cast<std::ptrdiff_t>(n);
  }

 private:
  std::string_view text_;
  std::size_t piece_;
};

}  // namespace trelba
