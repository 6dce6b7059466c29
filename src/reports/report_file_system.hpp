// The calls on the file system under ReportFile and SpillFile, one implementation per
// system: report_file_linux.cpp, report_file_posix_only.cpp (each with the shared
// report_file_posix.cpp) and report_file_windows.cpp. Names are UTF-8; files are C runtime
// descriptors on both systems, written as bytes. Every file is named by its folder (a
// ReportFolder) and its base name in that folder. A call that fails leaves its cause in
// errno (on Windows the system's error mapped to the nearest errno).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reports/report_file.hpp"

namespace trelba {

// How the name of every temporary file ends.
inline constexpr std::string_view kTemporarySuffix = ".tmp";
// How many random letters and digits come before it.
inline constexpr std::size_t kTemporaryLetters = 6;

// Fills `size` bytes from the system's random source; false when it has none to give.
bool FillRandom(unsigned char* bytes, std::size_t size);

// Whether `c` ends the folder part of a name ('/'; on Windows '\\' and a drive's ':' too).
bool EndsFolderPart(char c);

// Opens the folder `folder_part` (the folder part of a report's name, with its separator;
// "" for the current folder); false when it cannot be opened (errno set).
bool OpenFolder(const std::string& folder_part, ReportFolder& folder);
void CloseFolder(ReportFolder& folder);

// Why a report is refused in such a folder.
inline constexpr const char* kSystemFolderRefusal = "no report is written into /dev or /proc";

// Whether the folder is one of the system's (/dev or /proc, or within them; /dev/shm, a
// place for files, excepted), where a report's name may be a device or a link the system
// keeps: nothing is ever put there. Never on Windows.
bool IsSystemFolder(const ReportFolder& folder);

// The folder itself, to tell two names of one folder apart from two folders; unknown on
// Windows.
FileIdentity IdentifyFolder(const ReportFolder& folder);

// Why a report may not replace what stands at `base`: nothing when it may (nothing stands
// there, a regular file other than `keep`, or a symbolic link, replaced, never followed).
FailureCause ReplaceRefusal(const ReportFolder& folder, const std::string& base,
                            const FileIdentity& keep);
inline constexpr const char* kNotRegularFile = "not a regular file";
inline constexpr const char* kTheInput = "the same file as the input";

// Creates the new file `base` for writing, readable and writable by all the umask allows:
// its descriptor, or -1 (errno set) with `taken` telling whether the name was taken
// already.
int CreateNewFile(const ReportFolder& folder, const std::string& base, bool& taken);

// Readies the written file `fd` to stand at `base`: gives it the permission bits of the
// regular file standing there, if one does (POSIX), and with `sync` writes its bytes
// through to the disk. False (errno set) when either fails.
bool FinishFile(int fd, const ReportFolder& folder, const std::string& base, bool sync);

// Drops the bytes of the file `fd` after its first `size` and writes on from there; false
// (errno set) when it cannot.
bool TruncateFile(int fd, std::uint64_t size);

// One write or read of at most `size` bytes: how many it moved (0 at the end of a read),
// or -1 (errno set). WriteAll (report_file.hpp) and ReadAll go on until all is moved.
std::ptrdiff_t WriteSome(int fd, const char* data, std::size_t size);
std::ptrdiff_t ReadSome(int fd, char* data, std::size_t size);

// False (errno set) when the close failed.
bool CloseFile(int fd);

// Reads up to `size` bytes into `data`, resuming after interruptions and short reads, until
// `size` or the end: how many in `got`; false after an error (errno set).
bool ReadAll(int fd, char* data, std::size_t size, std::size_t& got);

// Reads and writes on from byte `offset`; false (errno set) when it cannot.
bool SeekFile(int fd, std::uint64_t offset);

// Writes the folder's names (the renames of a commit) through to the disk; true on
// Windows, whose renames are written through as they are made. False (errno set) when it
// failed.
bool SyncFolder(const ReportFolder& folder);

// What the registry of temporary_files.hpp and RemoveFile take for `base` in `folder`:
// the folder's descriptor and the base name on POSIX, -1 and the whole name on Windows.
int RemovalFolder(const ReportFolder& folder);
std::string RemovalName(const ReportFolder& folder, const std::string& base);

// Removes the file `name` (in the folder of descriptor `folder`, see RemovalFolder),
// never following a link; async-signal-safe on POSIX, for the handlers of
// temporary_files.hpp.
void RemoveFile(int folder, const char* name);

enum class Placement {
  kFailed,    // nothing moved
  kSwapped,   // the file is at its name, what stood there is kept aside (SetAside)
  kPlaced,    // the file is at its name, where nothing stood
  kReplaced,  // the file is at its name, what stood there is gone: cannot be undone
};

// Moves the file `temporary` to `base`, both in `folder` (errno set when kFailed).
Placement PlaceFile(const ReportFolder& folder, const std::string& temporary,
                    const std::string& base);

// Where PlaceFile keeps what stood at the name, given the temporary's base name.
std::string SetAside(const std::string& temporary);

// Undoes a kSwapped placement: what stood at `base` back there, the file removed.
void PutBack(const ReportFolder& folder, const std::string& temporary, const std::string& base);

// This process's number, as temporary names hold it.
unsigned long ProcessId();

// Whether no process of number `pid` runs (POSIX: kill(pid, 0) fails with ESRCH); false on
// Windows, where nothing is taken for stale.
bool ProcessIsGone(unsigned long pid);

// The names in `folder` that begin with '.' and end with kTemporarySuffix (POSIX; none on
// Windows).
std::vector<std::string> ListTemporaryNames(const ReportFolder& folder);

}  // namespace trelba
