#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "driver/process_setup.hpp"

namespace trelba {
namespace {

std::array<bool, 3> was_closed{};

}  // namespace

bool StandardStreamWasClosed(int fd) {
  return fd >= 0 && fd < static_cast<int>(was_closed.size()) &&
         was_closed[static_cast<std::size_t>(fd)];
}

bool PrepareProcess() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    was_closed[static_cast<std::size_t>(fd)] = true;
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
