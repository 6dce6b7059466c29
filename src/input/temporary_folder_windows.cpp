// Windows: the temporary folder's files are made with a name of their own and
// FILE_FLAG_DELETE_ON_CLOSE, so that Windows removes them when they are closed, the
// process's end included.
// clang-format off: windows.h first, the other system headers need it.
#include <windows.h>
// clang-format on
#include <bcrypt.h>
#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cwchar>

#include "input/temporary_folder.hpp"
#include "input/windows_names.hpp"

namespace trelba {

std::string TemporaryFolder() {
  std::string name;
  if (const wchar_t* const folder = ::_wgetenv(L"TMPDIR"); folder != nullptr && *folder != 0) {
    name = Utf8Name(folder);
  } else {
    wchar_t path[MAX_PATH + 1];
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, path);
    name = n == 0 || n > MAX_PATH ? std::string(".") : Utf8Name({path, n});
  }
  // "C:\\" keeps its separator.
  while (name.size() > 1 && (name.back() == '\\' || name.back() == '/') &&
         name[name.size() - 2] != ':') {
    name.pop_back();
  }
  return name;
}

int CreateAnonymousFile(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  const std::string stem = folder + "\\trelba-" + std::to_string(::GetCurrentProcessId()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned char random[4] = {};
    ::BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    std::string name = stem + std::to_string(counter++) + "-";
    for (const unsigned char byte : random) name += std::to_string(byte);
    name += ".tmp";
    const HANDLE handle =
        ::CreateFileW(WideName(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
      errno = ErrnoOfSystemError(error);
      return -1;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (fd < 0) ::CloseHandle(handle);  // which deletes it
    return fd;
  }
  errno = EEXIST;
  return -1;
}

std::FILE* StreamOfDescriptor(int fd) {
  return ::_fdopen(fd, "w+b");
}

}  // namespace trelba
