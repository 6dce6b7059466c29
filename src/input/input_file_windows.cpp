// Windows: the file opened by its UTF-16 name, in binary mode (no newline translation, no
// end at a Ctrl-Z byte), and not inherited by other processes.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "input/input_file_system.hpp"
#include "input/windows_names.hpp"

namespace trelba {

int OpenInputFile(const std::string& name) {
  return ::_wopen(WideName(name).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

bool IsReadableFile(int fd) {
  struct _stat64 info {};
  if (::_fstat64(fd, &info) != 0) return false;
  const bool folder = (info.st_mode & _S_IFDIR) != 0;
  if (folder) errno = EISDIR;
  return !folder;
}

void AdviseSequentialReading(int) {}

std::ptrdiff_t ReadInput(int fd, unsigned char* buffer, std::size_t capacity) {
  const auto count = static_cast<unsigned>(std::min<std::size_t>(capacity, INT_MAX));
  return ::_read(fd, buffer, count);
}

void CloseInputFile(int fd) {
  ::_close(fd);
}

// Windows sends no signal to a thread: its console handler runs on a thread of its own.
std::thread StartQuietThread(std::function<void()> body) {
  return std::thread(std::move(body));
}

}  // namespace trelba
