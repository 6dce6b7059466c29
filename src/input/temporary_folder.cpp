// What the temporary folder's files are on every system, from each system's calls
// (temporary_folder_posix.cpp, temporary_folder_windows.cpp).
#include "input/temporary_folder.hpp"

#include <cerrno>

#include "input/input_file_system.hpp"

namespace trelba {

std::FILE* OpenAnonymousStream() {
  const int fd = CreateAnonymousFile(TemporaryFolder());
  if (fd < 0) return nullptr;
  std::FILE* const stream = StreamOfDescriptor(fd);
  if (stream == nullptr) {
    const int error = errno;
    CloseInputFile(fd);
    errno = error;
  }
  return stream;
}

}  // namespace trelba
