// Linux's own calls of report_file_system.hpp (the rest, shared with every POSIX system,
// is report_file_posix.cpp): random letters from getrandom, a folder that may be written
// and searched but not read held by O_PATH, /proc naming a folder's descriptor, and a
// placement that exchanges the two names (renameat2 RENAME_EXCHANGE), so that the earlier
// file is kept at the temporary name until every report of the run is placed.
#include <fcntl.h>
#include <stdio.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "reports/report_file_system.hpp"

namespace trelba {

bool FillRandom(unsigned char* bytes, std::size_t size) {
  return ::getrandom(bytes, size, GRND_NONBLOCK) == static_cast<ssize_t>(size);
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

}  // namespace trelba
