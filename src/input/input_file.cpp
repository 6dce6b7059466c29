#include "input/input_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace trelba {

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool InputFile::Open(const std::string& name) {
  fd_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    return false;
  }
#ifdef POSIX_FADV_SEQUENTIAL
  ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
  return true;
}

std::ptrdiff_t InputFile::Read(char* buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, capacity);
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

}  // namespace trelba
