#include "input/windows_names.hpp"

#include <windows.h>

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

}  // namespace trelba
