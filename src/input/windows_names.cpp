#include "input/windows_names.hpp"

#include <windows.h>

#include <cerrno>
#include <climits>

namespace trelba {

std::wstring WideName(std::string_view name) {
  if (name.empty() || name.size() > INT_MAX) return {};
  const auto size = static_cast<int>(name.size());
  const int wide_size = ::MultiByteToWideChar(CP_UTF8, 0, name.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, name.data(), size, wide.data(), wide_size);
  return wide;
}

std::string Utf8Name(std::wstring_view name) {
  if (name.empty() || name.size() > INT_MAX) return {};
  const auto size = static_cast<int>(name.size());
  const int utf8_size =
      ::WideCharToMultiByte(CP_UTF8, 0, name.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(utf8_size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, name.data(), size, utf8.data(), utf8_size, nullptr, nullptr);
  return utf8;
}

int ErrnoOfSystemError(unsigned long error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
      return EINVAL;
    default:
      return EIO;
  }
}

}  // namespace trelba
