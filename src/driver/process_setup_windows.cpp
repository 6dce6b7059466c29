// Windows: the three standard streams in binary mode, so that no byte of the input, a
// table or a message is changed by newline translation (or lost at a Ctrl-Z): the same
// bytes as on Linux, lines ending in LF, which consoles show as line ends. A standard
// stream without a handle is put on NUL, as POSIX closed ones are put on /dev/null.
// Windows has no file-size signal to ignore.
#include <fcntl.h>
#include <io.h>

#include <initializer_list>

#include "driver/process_setup.hpp"

namespace trelba {
namespace {

constexpr int kStandardInput = 0;
constexpr int kStandardOutput = 1;
constexpr int kStandardError = 2;

// The C runtime gives a standard stream without a handle the value -2 (-1 in older ones).
bool HasHandle(int fd) {
  return ::_get_osfhandle(fd) >= 0;
}

}  // namespace

bool PrepareProcess() {
  for (int fd = kStandardInput; fd <= kStandardError; ++fd) {
    if (HasHandle(fd)) continue;
    NoteStreamWasClosed(fd);
    const int nul = ::_open("NUL", _O_RDWR | _O_BINARY);
    if (nul < 0) return false;
    const bool moved = nul == fd || ::_dup2(nul, fd) == 0;
    if (nul != fd) ::_close(nul);
    if (!moved) return false;
  }
  for (const int fd : {kStandardInput, kStandardOutput, kStandardError}) {
    if (::_setmode(fd, _O_BINARY) == -1) return false;
  }
  return true;
}

bool StandardErrorIsTerminal() {
  return ::_isatty(kStandardError) != 0;
}

}  // namespace trelba
