#include "reports/spill_file.hpp"

#include <cerrno>
#include <utility>

#include "input/temporary_folder.hpp"
#include "reports/report_file.hpp"
#include "reports/report_file_system.hpp"

namespace trelba {

SpillFile::~SpillFile() {
  Clear();
}

SpillFile::SpillFile(SpillFile&& other) noexcept {
  *this = std::move(other);
}

SpillFile& SpillFile::operator=(SpillFile&& other) noexcept {
  if (this == &other) return *this;
  Clear();
  fd_ = std::exchange(other.fd_, -1);
  size_ = std::exchange(other.size_, 0);
  reading_ = std::exchange(other.reading_, false);
  error_ = std::exchange(other.error_, {});
  return *this;
}

bool SpillFile::Fail(int code) {
  KeepFirst(error_, {code != 0 ? code : EIO, nullptr, true});
  return false;
}

bool SpillFile::Write(const void* data, std::size_t size) {
  if (error_) return false;
  if (fd_ < 0 && (fd_ = CreateAnonymousFile(TemporaryFolder())) < 0) return Fail(errno);
  if (reading_ && !SeekFile(fd_, size_)) return Fail(errno);
  reading_ = false;
  if (!WriteAll(fd_, static_cast<const char*>(data), size)) return Fail(errno);
  size_ += size;
  return true;
}

bool SpillFile::Rewind() {
  if (error_) return false;
  if (fd_ < 0) return true;
  reading_ = true;
  return SeekFile(fd_, 0) || Fail(errno);
}

bool SpillFile::Read(void* data, std::size_t size, std::size_t& got) {
  got = 0;
  if (error_) return false;
  if (fd_ < 0) return true;
  reading_ = true;
  return ReadAll(fd_, static_cast<char*>(data), size, got) || Fail(errno);
}

void SpillFile::Clear() {
  if (fd_ >= 0) CloseFile(fd_);
  fd_ = -1;
  size_ = 0;
  reading_ = false;
  error_ = {};
}

}  // namespace trelba
