// POSIX (Linux, macOS and the rest): closed standard streams put on /dev/null, SIGXFSZ
// ignored.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "driver/process_setup.hpp"

namespace trelba {

bool PrepareProcess() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    NoteStreamWasClosed(fd);
    // open() returns the lowest free descriptor: this one.
    const int opened = ::open("/dev/null", O_RDWR);
    if (opened != fd) return false;
  }
  ::signal(SIGXFSZ, SIG_IGN);
  return true;
}

bool StandardErrorIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace trelba
