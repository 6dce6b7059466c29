// Linux: the temporary folder's files are O_TMPFILE files, or where the file system has
// none, files whose name is removed as soon as they are made.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "input/temporary_folder.hpp"

namespace trelba {

std::string TemporaryFolder() {
  const char* const folder = std::getenv("TMPDIR");
  if (folder == nullptr || *folder == '\0') return "/tmp";
  std::string name = folder;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  return name;
}

int CreateAnonymousFile(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
  // A file system (or kernel) without O_TMPFILE: a new name, removed at once, with every
  // signal held meanwhile so that none leaves it.
  std::string name = folder + "/.trelba-XXXXXX";
  sigset_t all, previous;
  ::sigfillset(&all);
  ::pthread_sigmask(SIG_BLOCK, &all, &previous);
  const int made = ::mkostemp(name.data(), O_CLOEXEC);
  const int error = errno;
  if (made >= 0) ::unlink(name.c_str());
  ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  errno = error;
  return made;
}

std::FILE* OpenAnonymousStream() {
  const int fd = CreateAnonymousFile(TemporaryFolder());
  if (fd < 0) return nullptr;
  std::FILE* const stream = ::fdopen(fd, "w+b");
  if (stream == nullptr) {
    const int error = errno;
    ::close(fd);
    errno = error;
  }
  return stream;
}

}  // namespace trelba
