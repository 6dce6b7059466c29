// Linux: every file is reached through a descriptor of its folder (the *at calls), and a
// placement exchanges the two names (renameat2 RENAME_EXCHANGE), so that the earlier file
// is kept at the temporary name until every report of the run is placed.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "reports/report_file_system.hpp"

namespace trelba {

bool FillRandom(unsigned char* bytes, std::size_t size) {
  return ::getrandom(bytes, size, GRND_NONBLOCK) == static_cast<ssize_t>(size);
}

bool EndsFolderPart(char c) {
  return c == '/';
}

bool OpenFolder(const std::string& folder_part, ReportFolder& folder) {
  CloseFolder(folder);
  const char* const path = folder_part.empty() ? "." : folder_part.c_str();
  // Read access lets SyncFolder and the clean-up of stale files use it; a folder that may
  // be written and searched but not read is still one reports can go to.
  folder.fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder.fd < 0 && errno == EACCES) folder.fd = ::open(path, O_PATH | O_DIRECTORY | O_CLOEXEC);
  return folder.fd >= 0;
}

bool IsSystemFolder(const ReportFolder& folder) {
  char path[4096];
  const std::string link = "/proc/self/fd/" + std::to_string(folder.fd);
  const ssize_t n = ::readlink(link.c_str(), path, sizeof path);
  // A folder that cannot be named is taken for one of the system's.
  if (n <= 0 || static_cast<std::size_t>(n) == sizeof path) return true;
  const std::string_view where(path, static_cast<std::size_t>(n));
  const auto within = [&](std::string_view top) {
    return where == top || (where.starts_with(top) && where[top.size()] == '/');
  };
  return (within("/dev") && !within("/dev/shm")) || within("/proc");
}

void CloseFolder(ReportFolder& folder) {
  if (folder.fd >= 0) ::close(folder.fd);
  folder.fd = -1;
}

FileIdentity IdentifyFolder(const ReportFolder& folder) {
  struct stat at {};
  if (::fstat(folder.fd, &at) != 0) return {};
  return {true, at.st_dev, at.st_ino};
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
  if (keep.known && at.st_dev == keep.device && at.st_ino == keep.inode) return {0, kTheInput};
  return {};
}

FileIdentity IdentifyFile(const std::string& name) {
  struct stat at {};
  if (::stat(name.c_str(), &at) != 0) return {};
  return {true, at.st_dev, at.st_ino};
}

FileIdentity IdentifyStandardInput() {
  return IdentifyFile("/dev/stdin");
}

FileIdentity IdentifyStandardOutput() {
  struct stat at {};
  if (::fstat(STDOUT_FILENO, &at) != 0 || !S_ISREG(at.st_mode)) return {};
  return {true, at.st_dev, at.st_ino};
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
  return !sync || ::fsync(fd) == 0;
}

bool TruncateFile(int fd, std::uint64_t size) {
  const auto offset = static_cast<off_t>(size);
  return ::ftruncate(fd, offset) == 0 && ::lseek(fd, offset, SEEK_SET) == offset;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size != 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool CloseFile(int fd) {
  return ::close(fd) == 0;
}

bool ReadAll(int fd, char* data, std::size_t size, std::size_t& got) {
  got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, data + got, size - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

bool SeekFile(int fd, std::uint64_t offset) {
  const auto at = static_cast<off_t>(offset);
  return ::lseek(fd, at, SEEK_SET) == at;
}

bool SyncFolder(const ReportFolder& folder) {
  // EINVAL: a file system with nothing to write through.
  return ::fsync(folder.fd) == 0 || errno == EINVAL;
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

Placement PlaceFile(const ReportFolder& folder, const std::string& temporary,
                    const std::string& base) {
  const int at = folder.fd;
  const char* const from = temporary.c_str();
  const char* const to = base.c_str();
  if (::renameat2(at, from, at, to, RENAME_EXCHANGE) == 0) return Placement::kSwapped;
  if (errno == ENOENT && ::renameat2(at, from, at, to, RENAME_NOREPLACE) == 0) {
    return Placement::kPlaced;
  }
  // A file system that cannot exchange names: a plain rename.
  if (errno == EINVAL && ::renameat(at, from, at, to) == 0) return Placement::kReplaced;
  return Placement::kFailed;
}

std::string SetAside(const std::string& temporary) {
  return temporary;
}

void PutBack(const ReportFolder& folder, const std::string& temporary, const std::string& base) {
  ::renameat2(folder.fd, temporary.c_str(), folder.fd, base.c_str(), RENAME_EXCHANGE);
  ::unlinkat(folder.fd, temporary.c_str(), 0);
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
