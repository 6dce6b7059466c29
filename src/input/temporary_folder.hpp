// The temporary folder and its files that no name leads to, where the bounded stores keep
// what memory does not hold (reports/spill_file.hpp, input/spill_store.hpp): one
// implementation per system, temporary_folder_posix.cpp and temporary_folder_windows.cpp.
#pragma once

#include <cstdio>
#include <string>

namespace trelba {

// TMPDIR when it is set and not empty, else /tmp; on Windows TMPDIR, else the system's own
// (GetTempPath: TMP, TEMP, the user's profile); without the separator at its end.
std::string TemporaryFolder();

// Creates a file in `folder`, open for reading and writing, that no name leads to and that
// goes with the process however it ends (Linux: O_TMPFILE, or a name removed at once where
// the file system has no O_TMPFILE; other POSIX systems: a name removed at once; Windows:
// deleted when closed): its descriptor (a C
// runtime descriptor on Windows), or -1 (errno set).
int CreateAnonymousFile(const std::string& folder);

// The same file of TemporaryFolder() as a stream ("w+b"), or null (errno set).
std::FILE* OpenAnonymousStream();

// The descriptor `fd` as a stream ("w+b", fdopen), or null (errno set; `fd` still open).
std::FILE* StreamOfDescriptor(int fd);

}  // namespace trelba
