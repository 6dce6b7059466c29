#include "reports/report_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace trelba {

ReportFile::~ReportFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool ReportFile::Open(const std::string& name) {
  fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return fd_ >= 0;
}

bool ReportFile::Write(const char* data, std::size_t size) {
  while (size != 0) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReportFile::Close() {
  const int fd = fd_;
  fd_ = -1;
  return fd < 0 || ::close(fd) == 0;
}

}  // namespace trelba
