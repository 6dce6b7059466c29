// Windows: files by their UTF-16 names through the W calls, each the folder part of the
// report's name joined to a base name (no folder is held open). Windows cannot exchange
// two names, so a placement moves the earlier file aside, then the report to its name
// (MoveFileExW, written through to the disk before it returns). Temporary files are
// opened with FILE_SHARE_DELETE, so that the Ctrl-C handler can remove them while open.
// Nothing is taken for stale: the clean-up of report_file.hpp is Linux's.
// clang-format off: windows.h first, the other system headers need it.
#include <windows.h>
// clang-format on
#include <bcrypt.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>

#include "input/windows_names.hpp"
#include "reports/report_file_system.hpp"

namespace trelba {
namespace {

constexpr std::string_view kAsideSuffix = ".old";
constexpr DWORD kMoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool Move(const std::string& from, const std::string& to, DWORD flags) {
  return ::MoveFileExW(WideName(from).c_str(), WideName(to).c_str(), flags) != 0;
}

std::string Join(const ReportFolder& folder, const std::string& base) {
  return folder.name + base;
}

// What stands at `name` itself (a link is not followed); false when nothing can be
// found there, with the reason in GetLastError().
bool Examine(const std::string& name, BY_HANDLE_FILE_INFORMATION& info, bool& disk_file) {
  const HANDLE handle =
      ::CreateFileW(WideName(name).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  disk_file = ::GetFileType(handle) == FILE_TYPE_DISK;
  const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
  ::CloseHandle(handle);
  return known;
}

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return {true, info.dwVolumeSerialNumber,
          (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

// The file `handle` reads or writes; unknown for anything but a file on disk.
FileIdentity IdentityOfOpen(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
      ::GetFileType(handle) != FILE_TYPE_DISK || ::GetFileInformationByHandle(handle, &info) == 0) {
    return {};
  }
  return IdentityOf(info);
}

}  // namespace

bool FillRandom(unsigned char* bytes, std::size_t size) {
  return ::BCryptGenRandom(nullptr, bytes, static_cast<ULONG>(size),
                           BCRYPT_USE_SYSTEM_PREFERRED_RNG) >= 0;
}

bool EndsFolderPart(char c) {
  return c == '/' || c == '\\' || c == ':';
}

bool OpenFolder(const std::string& folder_part, ReportFolder& folder) {
  folder.fd = -1;
  folder.name = folder_part;
  return true;
}

bool IsSystemFolder(const ReportFolder&) {
  return false;
}

void CloseFolder(ReportFolder&) {}

FileIdentity IdentifyFolder(const ReportFolder&) {
  return {};
}

FailureCause ReplaceRefusal(const ReportFolder& folder, const std::string& base,
                            const FileIdentity& keep) {
  const std::string name = Join(folder, base);
  BY_HANDLE_FILE_INFORMATION info{};
  bool disk_file = false;
  if (!Examine(name, info, disk_file)) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return {};
    return {ErrnoOfSystemError(error)};
  }
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {EISDIR};
  if (!disk_file) return {0, kNotRegularFile};
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return {};
  const FileIdentity at = IdentityOf(info);
  if (keep.known && at.device == keep.device && at.inode == keep.inode) return {0, kTheInput};
  return {};
}

FileIdentity IdentifyFile(const std::string& name) {
  const HANDLE handle = ::CreateFileW(WideName(name).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  const FileIdentity identity = IdentityOfOpen(handle);
  ::CloseHandle(handle);
  return identity;
}

FileIdentity IdentifyStandardInput() {
  return IdentityOfOpen(::GetStdHandle(STD_INPUT_HANDLE));
}

FileIdentity IdentifyStandardOutput() {
  return IdentityOfOpen(::GetStdHandle(STD_OUTPUT_HANDLE));
}

int CreateNewFile(const ReportFolder& folder, const std::string& base, bool& taken) {
  const std::string name = Join(folder, base);
  const HANDLE handle =
      ::CreateFileW(WideName(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    errno = ErrnoOfSystemError(error);
    return -1;
  }
  taken = false;
  const int fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    const int error = errno;
    ::CloseHandle(handle);
    ::DeleteFileW(WideName(name).c_str());
    errno = error;
  }
  return fd;
}

bool TruncateFile(int fd, std::uint64_t size) {
  const auto offset = static_cast<__int64>(size);
  if (const errno_t error = ::_chsize_s(fd, offset); error != 0) {
    errno = error;
    return false;
  }
  return ::_lseeki64(fd, offset, SEEK_SET) == offset;
}

// At most INT_MAX bytes a call.
std::ptrdiff_t WriteSome(int fd, const char* data, std::size_t size) {
  return ::_write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

std::ptrdiff_t ReadSome(int fd, char* data, std::size_t size) {
  return ::_read(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

bool CloseFile(int fd) {
  return ::_close(fd) == 0;
}

bool SeekFile(int fd, std::uint64_t offset) {
  const auto at = static_cast<__int64>(offset);
  return ::_lseeki64(fd, at, SEEK_SET) == at;
}

// The permission bits of POSIX have no counterpart here: a report is always written new.
bool FinishFile(int fd, const ReportFolder&, const std::string&, bool sync) {
  return !sync || ::_commit(fd) == 0;
}

bool SyncFolder(const ReportFolder&) {
  return true;
}

int RemovalFolder(const ReportFolder&) {
  return -1;
}

std::string RemovalName(const ReportFolder& folder, const std::string& base) {
  return Join(folder, base);
}

// A read-only file is removed too, as POSIX removes it from a writable folder: the earlier
// report set aside may have been made read-only.
void RemoveFile(int, const char* name) {
  const std::wstring wide = WideName(name);
  if (::DeleteFileW(wide.c_str()) != 0 || ::GetLastError() != ERROR_ACCESS_DENIED) return;
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0) return;
  ::SetFileAttributesW(wide.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
  ::DeleteFileW(wide.c_str());
}

Placement PlaceFile(const ReportFolder& folder, const std::string& temporary_base,
                    const std::string& base) {
  const std::string temporary = Join(folder, temporary_base);
  const std::string name = Join(folder, base);
  const std::string aside = Join(folder, SetAside(temporary_base));
  if (Move(name, aside, MOVEFILE_WRITE_THROUGH)) {
    if (Move(temporary, name, kMoveFlags)) return Placement::kSwapped;
    const int error = ErrnoOfSystemError(::GetLastError());
    Move(aside, name, kMoveFlags);
    errno = error;
    return Placement::kFailed;
  }
  const DWORD error = ::GetLastError();
  // Replacing, should another run have placed its report there in the meantime.
  if (error == ERROR_FILE_NOT_FOUND && Move(temporary, name, kMoveFlags)) return Placement::kPlaced;
  errno = ErrnoOfSystemError(error == ERROR_FILE_NOT_FOUND ? ::GetLastError() : error);
  return Placement::kFailed;
}

std::string SetAside(const std::string& temporary) {
  std::string aside = temporary;
  if (aside.ends_with(kTemporarySuffix)) aside.resize(aside.size() - kTemporarySuffix.size());
  return aside += kAsideSuffix;
}

void PutBack(const ReportFolder& folder, const std::string& temporary, const std::string& base) {
  Move(Join(folder, SetAside(temporary)), Join(folder, base), kMoveFlags);
}

unsigned long ProcessId() {
  return ::GetCurrentProcessId();
}

bool ProcessIsGone(unsigned long) {
  return false;
}

std::vector<std::string> ListTemporaryNames(const ReportFolder&) {
  return {};
}

}  // namespace trelba
