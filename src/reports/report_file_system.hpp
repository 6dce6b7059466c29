// The calls on the file system under ReportFile, one implementation per system:
// report_file_linux.cpp and report_file_windows.cpp. Names are UTF-8; files are C runtime
// descriptors on both systems, written as bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "reports/report_file.hpp"

namespace trelba {

// How the name of every temporary file ends.
inline constexpr std::string_view kTemporarySuffix = ".tmp";

// Fills `size` bytes from the system's random source; false when it has none to give.
bool FillRandom(unsigned char* bytes, std::size_t size);

// Whether `c` ends the folder part of a name ('/'; on Windows '\\' and a drive's ':' too).
bool EndsFolderPart(char c);

// Something a report may replace: nothing, a regular file other than `keep`, or a
// symbolic link (replaced, never followed).
bool MayReplace(const std::string& name, const FileIdentity& keep);

// Creates the new file `name` for writing, readable and writable by all the umask allows:
// its descriptor, or -1 with `taken` telling whether the name was taken already.
int CreateNewFile(const std::string& name, bool& taken);

bool CloseFile(int fd);

// Removes the file `name`, never following a link; async-signal-safe on POSIX, for the
// handlers of temporary_files.hpp.
void RemoveFile(const char* name);

enum class Placement {
  kFailed,    // nothing moved
  kSwapped,   // the file is at its name, what stood there is kept aside (SetAside)
  kPlaced,    // the file is at its name, where nothing stood
  kReplaced,  // the file is at its name, what stood there is gone: cannot be undone
};

// Moves the file `temporary` to `name`.
Placement PlaceFile(const std::string& temporary, const std::string& name);

// Where PlaceFile keeps what stood at the name, given the temporary name.
std::string SetAside(const std::string& temporary);

// Undoes a kSwapped placement: what stood at `name` back there, the file removed.
void PutBack(const std::string& temporary, const std::string& name);

}  // namespace trelba
