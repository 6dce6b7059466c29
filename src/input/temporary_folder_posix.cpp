// POSIX: the temporary folder's files are files whose name is removed as soon as they are
// made; on Linux (unless built with TRELBA_POSIX_ONLY) O_TMPFILE files, which never have
// one, where the file system makes them.
#include <fcntl.h>
#include <pthread.h>
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
#if defined(O_TMPFILE) && !TRELBA_POSIX_ONLY
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
#endif
  // A new name, removed at once, with every signal held meanwhile so that none leaves it.
  std::string name = folder + "/.trelba-XXXXXX";
  sigset_t all, previous;
  ::sigfillset(&all);
  ::pthread_sigmask(SIG_BLOCK, &all, &previous);
  const int made = ::mkstemp(name.data());
  const int error = errno;
  if (made >= 0) {
    ::fcntl(made, F_SETFD, FD_CLOEXEC);
    ::unlink(name.c_str());
  }
  ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  errno = error;
  return made;
}

std::FILE* StreamOfDescriptor(int fd) {
  return ::fdopen(fd, "w+b");
}

}  // namespace trelba
