#include "reports/stream_output.hpp"

#include <cerrno>

#include "reports/report_file_system.hpp"

namespace trelba {

bool StreamOutput::Write(const char* data, std::size_t size) {
  return WriteAll(fd_, data, size) || Fail({errno});
}

bool StreamOutput::Close() {
  const int fd = fd_;
  if (fd == kStandardOutputDescriptor || fd < 0) return true;
  fd_ = -1;
  return CloseFile(fd) || Fail({errno});
}

}  // namespace trelba
