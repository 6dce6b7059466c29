#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "input/input_file_system.hpp"

namespace trelba {

int OpenInputFile(const std::string& name) {
  return ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
}

bool IsReadableFile(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
}

void AdviseSequentialReading([[maybe_unused]] int fd) {
#ifdef POSIX_FADV_SEQUENTIAL
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);  // fails harmlessly on a pipe
#endif
}

std::ptrdiff_t ReadInput(int fd, unsigned char* buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t n = ::read(fd, buffer, capacity);
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

void CloseInputFile(int fd) {
  ::close(fd);
}

}  // namespace trelba
