#include "input/input_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace trelba {
namespace {

constexpr std::size_t kRawBlock = 1 << 16;
constexpr unsigned char kGzipMagic[2] = {0x1f, 0x8b};

}  // namespace

InputFile::~InputFile() {
  if (stream_open_) inflateEnd(&stream_);
  if (fd_ >= 0) ::close(fd_);
}

bool InputFile::Open(const std::string& name) {
  fd_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode)) return false;
#ifdef POSIX_FADV_SEQUENTIAL
  ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
  // Read the first block now, to tell a compressed file by its first two bytes.
  raw_.reset(new unsigned char[kRawBlock]);
  while (raw_end_ < sizeof kGzipMagic && !raw_at_end_) {
    const std::ptrdiff_t n =
        ReadRaw(reinterpret_cast<char*>(raw_.get()) + raw_end_, kRawBlock - raw_end_);
    if (n < 0) return false;
    if (n == 0) raw_at_end_ = true;
    raw_end_ += static_cast<std::size_t>(n);
  }
  compressed_ = raw_end_ >= 2 && std::memcmp(raw_.get(), kGzipMagic, 2) == 0;
  if (compressed_) {
    // 15 + 16: a gzip wrapper with the largest window.
    if (inflateInit2(&stream_, 15 + 16) != Z_OK) return false;
    stream_open_ = true;
  }
  return true;
}

std::ptrdiff_t InputFile::ReadRaw(char* buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, capacity);
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

std::ptrdiff_t InputFile::Read(char* buffer, std::size_t capacity) {
  if (compressed_) return Inflate(buffer, capacity);
  if (raw_begin_ < raw_end_) {
    const std::size_t n = std::min(capacity, raw_end_ - raw_begin_);
    std::memcpy(buffer, raw_.get() + raw_begin_, n);
    raw_begin_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }
  if (raw_at_end_) return 0;
  return ReadRaw(buffer, capacity);
}

std::ptrdiff_t InputFile::Inflate(char* buffer, std::size_t capacity) {
  capacity = std::min<std::size_t>(capacity, std::numeric_limits<uInt>::max());
  for (;;) {
    if (raw_begin_ == raw_end_ && !raw_at_end_) {
      const std::ptrdiff_t n = ReadRaw(reinterpret_cast<char*>(raw_.get()), kRawBlock);
      if (n < 0) return -1;
      raw_begin_ = 0;
      raw_end_ = static_cast<std::size_t>(n);
      if (n == 0) raw_at_end_ = true;
    }
    if (raw_begin_ == raw_end_ && raw_at_end_) {
      // The file ends: complete only where the last member ended.
      return member_done_ ? 0 : -1;
    }
    if (member_done_) {
      // More bytes after a member's end: the next member.
      if (inflateReset(&stream_) != Z_OK) return -1;
      member_done_ = false;
    }
    stream_.next_in = raw_.get() + raw_begin_;
    stream_.avail_in = static_cast<uInt>(raw_end_ - raw_begin_);
    stream_.next_out = reinterpret_cast<Bytef*>(buffer);
    stream_.avail_out = static_cast<uInt>(capacity);
    const int status = inflate(&stream_, Z_NO_FLUSH);
    raw_begin_ = raw_end_ - stream_.avail_in;
    const std::size_t produced = capacity - stream_.avail_out;
    if (status == Z_STREAM_END) {
      member_done_ = true;
    } else if (status != Z_OK &&
               !(status == Z_BUF_ERROR && produced == 0 && stream_.avail_in == 0)) {
      return -1;  // corrupt data, a bad check value, or no memory
    }
    if (produced != 0) return static_cast<std::ptrdiff_t>(produced);
  }
}

}  // namespace trelba
