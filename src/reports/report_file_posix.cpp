// The calls of report_file_system.hpp that Linux and every other POSIX system make alike:
// every file is reached through a descriptor of its folder (the *at calls of POSIX.1-2008).
// How a folder is opened and told apart from the system's, where random letters come
// from and how a file is moved to its name are each system's own: report_file_linux.cpp
// (renameat2's exchange), report_file_posix_only.cpp (a hard link, then rename).
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "reports/report_file_system.hpp"

namespace trelba {
namespace {

// fsync; on macOS, whose fsync leaves the bytes in the disk's own cache, F_FULLFSYNC first.
bool SyncToDisk(int fd) {
#ifdef F_FULLFSYNC
  if (::fcntl(fd, F_FULLFSYNC) == 0) return true;
#endif
  return ::fsync(fd) == 0;
}

}  // namespace

bool EndsFolderPart(char c) {
  return c == '/';
}

void CloseFolder(ReportFolder& folder) {
  if (folder.fd >= 0) ::close(folder.fd);
  folder.fd = -1;
}

FileIdentity IdentifyFolder(const ReportFolder& folder) {
  struct stat at {};
  if (::fstat(folder.fd, &at) != 0) return {};
  return IdentityOfStat(at);
}

FailureCause ReplaceRefusal(const ReportFolder& folder, const std::string& base,
                            const FileIdentity& keep) {
  struct stat at {};
  if (::fstatat(folder.fd, base.c_str(), &at, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) return {};
    return {errno};
  }
  if (S_ISLNK(at.st_mode)) return {};
  if (S_ISDIR(at.st_mode)) return {EISDIR};
  if (!S_ISREG(at.st_mode)) return {0, kNotRegularFile};
  if (const FileIdentity found = IdentityOfStat(at);
      keep.known && found.device == keep.device && found.inode == keep.inode) {
    return {0, kTheInput};
  }
  return {};
}

FileIdentity IdentifyFile(const std::string& name) {
  struct stat at {};
  if (::stat(name.c_str(), &at) != 0) return {};
  return IdentityOfStat(at);
}

FileIdentity IdentifyStandardInput() {
  return IdentifyFile("/dev/stdin");
}

FileIdentity IdentifyStandardOutput() {
  struct stat at {};
  if (::fstat(STDOUT_FILENO, &at) != 0 || !S_ISREG(at.st_mode)) return {};
  return IdentityOfStat(at);
}

int CreateNewFile(const ReportFolder& folder, const std::string& base, bool& taken) {
  const int fd = ::openat(folder.fd, base.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  taken = fd < 0 && errno == EEXIST;
  return fd;
}

bool FinishFile(int fd, const ReportFolder& folder, const std::string& base, bool sync) {
  struct stat earlier {};
  if (::fstatat(folder.fd, base.c_str(), &earlier, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISREG(earlier.st_mode) && ::fchmod(fd, earlier.st_mode & 0777) != 0) {
    return false;
  }
  return !sync || SyncToDisk(fd);
}

bool TruncateFile(int fd, std::uint64_t size) {
  const auto offset = static_cast<off_t>(size);
  return ::ftruncate(fd, offset) == 0 && ::lseek(fd, offset, SEEK_SET) == offset;
}

std::ptrdiff_t WriteSome(int fd, const char* data, std::size_t size) {
  return ::write(fd, data, size);
}

std::ptrdiff_t ReadSome(int fd, char* data, std::size_t size) {
  return ::read(fd, data, size);
}

bool CloseFile(int fd) {
  return ::close(fd) == 0;
}

bool SeekFile(int fd, std::uint64_t offset) {
  const auto at = static_cast<off_t>(offset);
  return ::lseek(fd, at, SEEK_SET) == at;
}

bool SyncFolder(const ReportFolder& folder) {
  // EINVAL: a file system with nothing to write through.
  return SyncToDisk(folder.fd) || errno == EINVAL;
}

int RemovalFolder(const ReportFolder& folder) {
  return folder.fd;
}

std::string RemovalName(const ReportFolder&, const std::string& base) {
  return base;
}

void RemoveFile(int folder, const char* name) {
  ::unlinkat(folder, name, 0);
}

unsigned long ProcessId() {
  return static_cast<unsigned long>(::getpid());
}

bool ProcessIsGone(unsigned long pid) {
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

std::vector<std::string> ListTemporaryNames(const ReportFolder& folder) {
  std::vector<std::string> names;
  const int fd = ::openat(folder.fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return names;
  DIR* const listing = ::fdopendir(fd);
  if (listing == nullptr) {
    ::close(fd);
    return names;
  }
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name.starts_with('.') && name.ends_with(kTemporarySuffix)) names.emplace_back(name);
  }
  ::closedir(listing);
  return names;
}

}  // namespace trelba
