// Linux: stat(2) follows links to what an output name leads to.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "reports/stream_output.hpp"

namespace trelba {

FileKind KindOfFile(const std::string& name) {
  struct stat at {};
  if (::stat(name.c_str(), &at) != 0) return FileKind::kMissing;
  if (S_ISREG(at.st_mode)) return FileKind::kRegular;
  if (S_ISDIR(at.st_mode)) return FileKind::kFolder;
  return FileKind::kStream;
}

FileIdentity IdentifyFileAtName(const std::string& name) {
  struct stat at {};
  if (::lstat(name.c_str(), &at) != 0) return {};
  return {true, at.st_dev, at.st_ino};
}

int OpenStream(const std::string& name) {
  const int fd = ::open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return -1;
  // Whatever stands at the name may have changed since it was looked at: a regular file
  // is replaced whole, never written into.
  struct stat at {};
  const int error = ::fstat(fd, &at) != 0 ? errno
                    : S_ISREG(at.st_mode) ? EEXIST
                    : S_ISDIR(at.st_mode) ? EISDIR
                                          : 0;
  if (error != 0) {
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

}  // namespace trelba
