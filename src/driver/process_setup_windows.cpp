// Windows: standard input and output in binary mode, so that no byte of a report, a table
// or the input is changed by newline translation (or lost at a Ctrl-Z); messages on
// standard error keep the console's line endings. A standard stream without a handle
// is put on NUL, as POSIX closed ones are put on /dev/null. Windows has no file-size
// signal to ignore.
#include <fcntl.h>
#include <io.h>

#include <cstdint>

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
    const int nul = ::_open("NUL", _O_RDWR | _O_BINARY);
    if (nul < 0) return false;
    const bool moved = nul == fd || ::_dup2(nul, fd) == 0;
    if (nul != fd) ::_close(nul);
    if (!moved) return false;
  }
  return ::_setmode(kStandardInput, _O_BINARY) != -1 &&
         ::_setmode(kStandardOutput, _O_BINARY) != -1;
}

}  // namespace trelba
