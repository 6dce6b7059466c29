#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "input/input_file_system.hpp"
#include "input/interruption.hpp"

namespace trelba {

// A signal that cuts an open or a read short (a FIFO without a writer waits in open) is
// tried again, unless the library's caller asks to stop.
int OpenInputFile(const std::string& name) {
  for (;;) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0 || errno != EINTR || InterruptionRequested(true)) return fd;
  }
}

int UnreadableFileError(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return errno;
  return S_ISDIR(info.st_mode) ? EISDIR : 0;
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
    if (errno != EINTR || InterruptionRequested(true)) return -1;
  }
}

void CloseInputFile(int fd) {
  ::close(fd);
}

std::thread StartQuietThread(std::function<void()> body) {
  sigset_t quiet;
  ::sigfillset(&quiet);
  // A fault is the faulting thread's, for the sanitizers and debuggers that watch for it.
  for (const int fault : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGSYS, SIGABRT}) {
    ::sigdelset(&quiet, fault);
  }
  sigset_t previous;
  ::pthread_sigmask(SIG_BLOCK, &quiet, &previous);
  struct Restore {
    const sigset_t& mask;
    ~Restore() { ::pthread_sigmask(SIG_SETMASK, &mask, nullptr); }
  } restore{previous};
  return std::thread(std::move(body));
}

}  // namespace trelba
