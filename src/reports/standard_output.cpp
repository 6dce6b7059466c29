#include "reports/standard_output.hpp"

#include <unistd.h>

#include <cerrno>

namespace trelba {

bool StandardOutput::Write(const char* data, std::size_t size) {
  while (size != 0) {
    const ssize_t n = ::write(STDOUT_FILENO, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace trelba
