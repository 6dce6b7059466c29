// Linux: a placement exchanges the two names (renameat2 RENAME_EXCHANGE), so that the
// earlier file is kept at the temporary name until every report of the run is placed.
#include <fcntl.h>
#include <stdio.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "reports/report_file_system.hpp"

namespace trelba {

bool FillRandom(unsigned char* bytes, std::size_t size) {
  return ::getrandom(bytes, size, GRND_NONBLOCK) == static_cast<ssize_t>(size);
}

bool EndsFolderPart(char c) {
  return c == '/';
}

bool MayReplace(const std::string& name, const FileIdentity& keep) {
  struct stat at {};
  if (::lstat(name.c_str(), &at) != 0) return errno == ENOENT;
  if (S_ISLNK(at.st_mode)) return true;
  if (!S_ISREG(at.st_mode)) return false;
  return !(keep.known && at.st_dev == keep.device && at.st_ino == keep.inode);
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

int CreateNewFile(const std::string& name, bool& taken) {
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  taken = fd < 0 && errno == EEXIST;
  return fd;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size != 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool CloseFile(int fd) {
  return ::close(fd) == 0;
}

void RemoveFile(const char* name) {
  ::unlink(name);
}

Placement PlaceFile(const std::string& temporary, const std::string& name) {
  const char* const from = temporary.c_str();
  const char* const to = name.c_str();
  if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_EXCHANGE) == 0) return Placement::kSwapped;
  if (errno == ENOENT && ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
    return Placement::kPlaced;
  }
  // A file system that cannot exchange names: a plain rename.
  if (errno == EINVAL && ::rename(from, to) == 0) return Placement::kReplaced;
  return Placement::kFailed;
}

std::string SetAside(const std::string& temporary) {
  return temporary;
}

void PutBack(const std::string& temporary, const std::string& name) {
  ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, name.c_str(), RENAME_EXCHANGE);
  ::unlink(temporary.c_str());
}

}  // namespace trelba
