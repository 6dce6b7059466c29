// Where the text to analyse comes from: a file (input_file.hpp), or memory.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <string>
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

// Gives `prefix` first (the bytes already read from `source` to tell what it holds), then
// the rest of `source`.
class PrefixedSource final : public ByteSource {
 public:
  PrefixedSource(std::string_view prefix, ByteSource& source) : prefix_(prefix), source_(source) {}
  std::ptrdiff_t Read(char* buffer, std::size_t capacity) override {
    if (!prefix_.empty()) {
      const std::size_t n = std::min(capacity, prefix_.size());
      std::memcpy(buffer, prefix_.data(), n);
      prefix_.remove_prefix(n);
      return static_cast<std::ptrdiff_t>(n);
    }
    const std::ptrdiff_t n = source_.Read(buffer, capacity);
    return n < 0 ? Fail(source_.error()) : n;
  }

 private:
  std::string_view prefix_;
  ByteSource& source_;
};

// Reads through another source and keeps the text it gives while all of it fits in `limit`
// bytes, so that a second pass can read it from memory (TextSource) instead of the source
// once more; past the limit, or when memory runs out, nothing is kept.
class KeepingSource final : public ByteSource {
 public:
  KeepingSource(ByteSource& source, std::string& kept, std::size_t limit)
      : source_(source), kept_(kept), limit_(limit) {
    kept_.clear();
  }
  std::ptrdiff_t Read(char* buffer, std::size_t capacity) override {
    const std::ptrdiff_t n = source_.Read(buffer, capacity);
    if (n < 0) return Fail(source_.error());
    if (keeping_ && kept_.size() + static_cast<std::size_t>(n) > limit_) Drop();
    if (keeping_) {
      try {
        kept_.append(buffer, static_cast<std::size_t>(n));
      } catch (const std::bad_alloc&) {
        Drop();
      }
    }
    return n;
  }
  // Whether `kept` holds all that was read.
  bool whole() const { return keeping_; }

 private:
  void Drop() {
    keeping_ = false;
    std::string().swap(kept_);
  }

  ByteSource& source_;
  std::string& kept_;
  std::size_t limit_;
  bool keeping_ = true;
};

}  // namespace trelba
