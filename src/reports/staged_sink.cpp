#include "reports/staged_sink.hpp"

#include <cerrno>
#include <new>

#include "reports/spill_compression.hpp"
#include "reports/spill_file.hpp"

namespace trelba {

// The rows as they are, then (once the allowance is spent) the rest compressed.
struct StagedSink::Spill {
  SpillFile plain;
  SpillFile file;
  std::unique_ptr<SpillCompressor> compressor;  // made at its first row
};

StagedSink::StagedSink() = default;
StagedSink::~StagedSink() = default;

// A file's failure, or (the files fine) the compressor's, which fails only for want of
// memory.
bool StagedSink::SpillFailed() {
  for (const SpillFile* file : {&spill_->plain, &spill_->file}) {
    if (!file->failed()) continue;
    spill_failed_ = true;
    return Fail(file->error());
  }
  return Fail({0, kOutOfMemory});
}

bool StagedSink::Write(const char* data, std::size_t size) {
  if (error_) return false;
  if (spill_ == nullptr && memory_.size() + size <= kMemoryHeld) {
    try {
      // Room had at once: a string grown by doubling takes half as much again while it is
      // copied.
      if (memory_.capacity() < kMemoryHeld) memory_.reserve(kMemoryHeld);
      memory_.append(data, size);
      return true;
    } catch (const std::bad_alloc&) {
      // No memory to hold it in: the rest goes to the file.
    }
  }
  if (spill_ == nullptr) {
    try {
      spill_ = std::make_unique<Spill>();
    } catch (const std::bad_alloc&) {
      return Fail({0, kOutOfMemory});
    }
  }
  Spill& s = *spill_;
  if (s.compressor == nullptr && size <= allowed_) {
    allowed_ -= size;
    return s.plain.Write(data, size) || SpillFailed();
  }
  if (s.compressor == nullptr) {
    try {
      s.compressor = std::make_unique<SpillCompressor>();
    } catch (const std::bad_alloc&) {
      return Fail({0, kOutOfMemory});
    }
  }
  return s.compressor->Compress(data, size, false, s.file) || SpillFailed();
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
  if (spill_ != nullptr && complete) complete = ReleaseSpill(take);
  const FailureCause cause = error_;
  const bool spill_failed = spill_failed_;
  Drop();
  error_ = cause;  // for the error line, until the next Drop
  spill_failed_ = spill_failed;
  return complete;
}

bool StagedSink::ReleaseSpill(const std::function<void(std::string_view)>& take) {
  Spill& s = *spill_;
  if (!ReleasePlain(take)) return false;
  if (s.compressor == nullptr) return true;
  if (!s.compressor->Compress(nullptr, 0, true, s.file)) return SpillFailed();
  switch (Decompress(s.file, take)) {
    case Decompressed::kWhole:
      return true;
    case Decompressed::kFileFailed:
      return SpillFailed();
    case Decompressed::kNoMemory:
      return Fail({0, kOutOfMemory});
    case Decompressed::kDamaged:
      break;
  }
  // What was written does not read back as it was: the file was changed, or cut.
  spill_failed_ = true;
  return Fail({EIO});
}

bool StagedSink::ReleasePlain(const std::function<void(std::string_view)>& take) {
  SpillFile& plain = spill_->plain;
  if (plain.size() == 0) return true;
  if (!plain.Rewind()) return SpillFailed();
  std::string block(kPlainBlock, '\0');
  std::uint64_t read = 0;
  for (std::size_t got = kPlainBlock; got == kPlainBlock;) {
    if (!plain.Read(block.data(), kPlainBlock, got)) return SpillFailed();
    take({block.data(), got});
    read += got;
  }
  if (read == plain.size()) return true;
  // Cut short: the file was changed.
  spill_failed_ = true;
  return Fail({EIO});
}

void StagedSink::Drop() {
  memory_.clear();
  spill_.reset();
  allowed_ = 0;
  error_ = {};
  spill_failed_ = false;
}

}  // namespace trelba
