#include "reports/staged_sink.hpp"

#include <array>
#include <cerrno>
#include <new>

namespace trelba {
namespace {

// Held in memory, room for it had at once: a string grown to it by doubling took half as
// much again while it was copied (the table of 50,000 genes took 6 MB).
constexpr std::size_t kMemoryHeld = 1 << 20;

}  // namespace

StagedSink::~StagedSink() {
  if (spill_ != nullptr) std::fclose(spill_);
}

bool StagedSink::Write(const char* data, std::size_t size) {
  if (error_) return false;
  if (spill_ == nullptr && memory_.size() + size <= kMemoryHeld) {
    try {
      if (memory_.capacity() < kMemoryHeld) memory_.reserve(kMemoryHeld);
      memory_.append(data, size);
      return true;
    } catch (const std::bad_alloc&) {
      // No memory to hold it in: the rest goes to the file.
    }
  }
  if (spill_ == nullptr && (spill_ = std::tmpfile()) == nullptr) return Fail({errno});
  return std::fwrite(data, 1, size, spill_) == size || Fail({errno});
}

bool StagedSink::Release(OutputBuffer& out) {
  return ReleaseTo([&](std::string_view piece) { out.Append(piece); });
}

bool StagedSink::ReleaseRows(OutputBuffer& out, const std::function<void(OutputBuffer&)>& end_row) {
  return ReleaseTo([&](std::string_view piece) {
    for (std::size_t end = piece.find('\n'); end != std::string_view::npos;
         end = piece.find('\n')) {
      out.Append(piece.substr(0, end));
      end_row(out);
      out.Append("\n");
      piece.remove_prefix(end + 1);
    }
    out.Append(piece);
  });
}

bool StagedSink::ReleaseTo(const std::function<void(std::string_view)>& take) {
  take(memory_);
  bool complete = !error_;
  if (spill_ != nullptr && complete) {
    complete = std::fflush(spill_) == 0 && std::fseek(spill_, 0, SEEK_SET) == 0;
    std::array<char, 1 << 16> block{};
    std::size_t n = 0;
    while (complete && (n = std::fread(block.data(), 1, block.size(), spill_)) != 0) {
      take(std::string_view(block.data(), n));
    }
    complete = (complete && std::ferror(spill_) == 0) || Fail({errno});
  }
  const FailureCause cause = error_;
  Drop();
  error_ = cause;  // for the error line, until the next Drop
  return complete;
}

void StagedSink::Drop() {
  memory_.clear();
  if (spill_ != nullptr) std::fclose(spill_);
  spill_ = nullptr;
  error_ = {};
}

}  // namespace trelba
