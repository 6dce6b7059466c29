#include "input/spill_store.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#ifndef _WIN32
#include <sys/types.h>
#endif

#include "input/temporary_folder.hpp"

namespace trelba {
namespace {

// The file's position set to `at`, past 2 GB too.
bool SeekTo(std::FILE* file, std::uint64_t at) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<__int64>(at), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(at), SEEK_SET) == 0;
#endif
}

}  // namespace

SpillStore::~SpillStore() {
  if (spill_ != nullptr) std::fclose(spill_);
}

void SpillStore::Clear() {
  memory_.clear();
  if (spill_ != nullptr) std::fclose(spill_);
  spill_ = nullptr;
  size_ = 0;
  file_at_ = 0;
  writing_ = true;
  error_ = {};
}

bool SpillStore::Fail(FailureCause cause) {
  cause.in_temporary_folder = true;  // the file's failures are all there are
  KeepFirst(error_, cause);
  return false;
}

bool SpillStore::Append(const char* data, std::size_t size) {
  if (failed()) return false;
  if (size == 0) return true;
  if (spill_ == nullptr && memory_.size() < held_) {
    const std::size_t here = std::min(size, held_ - memory_.size());
    try {
      memory_.append(data, here);
      size_ += here;
      data += here;
      size -= here;
    } catch (const std::bad_alloc&) {
      held_ = memory_.size();  // no memory for more: the rest goes to the file
    }
    if (size == 0) return true;
  }
  if (spill_ == nullptr) {
    if ((spill_ = OpenAnonymousStream()) == nullptr) return Fail({errno});
    file_at_ = 0;
    writing_ = true;
  }
  const std::uint64_t file_end = size_ - memory_.size();
  if (!writing_ || file_at_ != file_end) {
    // Between a read and a write the stream must be positioned (C17 7.21.5.3).
    if (!SeekTo(spill_, file_end)) return Fail({errno});
    file_at_ = file_end;
    writing_ = true;
  }
  if (std::fwrite(data, 1, size, spill_) != size) return Fail({errno});
  file_at_ += size;
  size_ += size;
  return true;
}

bool SpillStore::Read(std::uint64_t offset, char* to, std::size_t size) {
  if (failed() || offset > size_ || size > size_ - offset) return false;
  if (offset < memory_.size()) {
    const std::size_t here = std::min<std::uint64_t>(size, memory_.size() - offset);
    std::memcpy(to, memory_.data() + offset, here);
    to += here;
    offset += here;
    size -= here;
  }
  if (size == 0) return true;
  const std::uint64_t at = offset - memory_.size();
  if (writing_ && std::fflush(spill_) != 0) return Fail({errno});
  if (writing_ || file_at_ != at) {
    if (!SeekTo(spill_, at)) return Fail({errno});
    writing_ = false;
  }
  const std::size_t got = std::fread(to, 1, size, spill_);
  file_at_ = at + got;
  if (got != size) return Fail({std::ferror(spill_) != 0 ? errno : EIO});
  return true;
}

}  // namespace trelba
