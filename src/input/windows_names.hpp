// File names on Windows: the program works in UTF-8 (as on Linux, so that names print
// and compose the same way); the system's calls take UTF-16. And their errors as errno.
#pragma once

#include <string>
#include <string_view>

namespace trelba {

// `name` in UTF-16, for the system's W calls; invalid UTF-8 becomes U+FFFD.
std::wstring WideName(std::string_view name);

// `name` from the system in UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8Name(std::wstring_view name);

// The errno nearest to the system's error `error` (GetLastError), for the error line.
int ErrnoOfSystemError(unsigned long error);

}  // namespace trelba
