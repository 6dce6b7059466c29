// The calls of report_file_system.hpp that differ from Linux's, made with POSIX.1-2008
// alone (macOS, the BSDs, and Linux built with TRELBA_POSIX_ONLY; the rest is
// report_file_posix.cpp). POSIX cannot exchange two names, so a placement first gives the
// earlier file a second name (linkat) and then renames the report over the first: at
// every moment the name holds the earlier file or the new report, and the earlier file
// is kept aside until every report of the run is placed. Where the file system has no
// hard links, the earlier file is renamed aside first, as on Windows.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#if TRELBA_HAVE_GETENTROPY
#include <sys/random.h>  // getentropy on macOS (glibc's unistd.h has it too)
#endif

#include <cerrno>
#include <string>

#include "reports/report_file_system.hpp"

namespace trelba {
namespace {

// Whether a failed linkat says the file system makes no hard links (rather than that the
// file is missing or the call is refused for a cause that a rename would meet too).
bool HasNoHardLinks(int error) {
  return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == EMLINK ||
         error == ENOSYS;
}

// Moves `from` to `to` in the folder `at`, failing rather than replacing a file that
// stands at `to` (a link, then the first name removed); a plain rename where the file
// system has no hard links.
bool MoveToFreeName(int at, const char* from, const char* to) {
  if (::linkat(at, from, at, to, 0) == 0) {
    ::unlinkat(at, from, 0);
    return true;
  }
  return HasNoHardLinks(errno) && ::renameat(at, from, at, to) == 0;
}

}  // namespace

bool FillRandom(unsigned char* bytes, std::size_t size) {
#if TRELBA_HAVE_GETENTROPY
  return ::getentropy(bytes, size) == 0;
#else
  const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::size_t got = 0;
  const bool read = ReadAll(fd, reinterpret_cast<char*>(bytes), size, got);
  ::close(fd);
  return read && got == size;
#endif
}

bool OpenFolder(const std::string& folder_part, ReportFolder& folder) {
  CloseFolder(folder);
  const char* const path = folder_part.empty() ? "." : folder_part.c_str();
  folder.fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#ifdef O_SEARCH
  // A folder that may be written and searched but not read.
  if (folder.fd < 0 && errno == EACCES)
    folder.fd = ::open(path, O_SEARCH | O_DIRECTORY | O_CLOEXEC);
#endif
  return folder.fd >= 0;
}

bool IsSystemFolder(const ReportFolder& folder) {
  // No name of the folder to read: its identity against those of /dev, /dev/shm and /proc,
  // then of each folder above it ("..", "../..", ...) up to the root, whose ".." is itself.
  const auto identity = [](int at, const char* name) {
    struct stat info {};
    return ::fstatat(at, name, &info, 0) == 0 ? IdentityOfStat(info) : FileIdentity{};
  };
  const auto same = [](const FileIdentity& a, const FileIdentity& b) {
    return a.known && b.known && a.device == b.device && a.inode == b.inode;
  };
  const FileIdentity devices = identity(AT_FDCWD, "/dev");
  const FileIdentity shared_memory = identity(AT_FDCWD, "/dev/shm");
  const FileIdentity processes = identity(AT_FDCWD, "/proc");
  constexpr int kMostLevels = 1000;  // "../" that many times stays within PATH_MAX
  std::string path = ".";
  FileIdentity below;
  bool in_shared_memory = false;
  for (int level = 0; level < kMostLevels; ++level) {
    const FileIdentity here = identity(folder.fd, path.c_str());
    // A folder above that cannot be searched: not under /dev, whose folders every user
    // searches.
    if (!here.known || same(here, below)) return false;
    if (same(here, shared_memory)) in_shared_memory = true;
    if ((same(here, devices) && !in_shared_memory) || same(here, processes)) return true;
    below = here;
    path = level == 0 ? ".." : path + "/..";
  }
  return false;
}

Placement PlaceFile(const ReportFolder& folder, const std::string& temporary,
                    const std::string& base) {
  const int at = folder.fd;
  const char* const from = temporary.c_str();
  const char* const to = base.c_str();
  const std::string aside = SetAside(temporary);
  if (::linkat(at, to, at, aside.c_str(), 0) == 0) {
    // The earlier file has a second name: the rename replaces the first in one step.
    if (::renameat(at, from, at, to) == 0) return Placement::kSwapped;
    const int error = errno;
    ::unlinkat(at, aside.c_str(), 0);
    errno = error;
    return Placement::kFailed;
  }
  if (errno == ENOENT) {
    return MoveToFreeName(at, from, to) ? Placement::kPlaced : Placement::kFailed;
  }
  if (!HasNoHardLinks(errno)) return Placement::kFailed;
  // No hard links: the earlier file renamed aside, then the report to its name. For that
  // moment nothing stands at the name.
  if (::renameat(at, to, at, aside.c_str()) != 0) return Placement::kFailed;
  if (::renameat(at, from, at, to) == 0) return Placement::kSwapped;
  const int error = errno;
  ::renameat(at, aside.c_str(), at, to);
  errno = error;
  return Placement::kFailed;
}

std::string SetAside(const std::string& temporary) {
  // The temporary's name with each of its random letters changed (case swapped, digits
  // mirrored): a name of the same shape, which a later run takes for one of this
  // report's temporary files and removes once this process is gone.
  std::string aside = temporary;
  const std::size_t end = aside.size() - kTemporarySuffix.size();
  for (std::size_t i = end - kTemporaryLetters; i < end; ++i) {
    char& c = aside[i];
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    } else if (c >= '0' && c <= '9') {
      c = static_cast<char>('9' - (c - '0'));
    }
  }
  return aside;
}

void PutBack(const ReportFolder& folder, const std::string& temporary, const std::string& base) {
  // The earlier file back at its name in one step; the report goes with the name it had.
  ::renameat(folder.fd, SetAside(temporary).c_str(), folder.fd, base.c_str());
}

}  // namespace trelba
