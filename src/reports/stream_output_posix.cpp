// POSIX: stat(2) follows links to what an output name leads to; /dev/fd/N, and on Linux
// /proc, tell this process's descriptors by their names.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "reports/stream_output.hpp"

namespace trelba {
namespace {

// Links followed at most, as the kernel does.
constexpr int kMostLinks = 40;

// N of a whole decimal `text`, or -1.
int NumberOf(std::string_view text) {
  int n = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  return error == std::errc() && end == text.data() + text.size() && n >= 0 ? n : -1;
}

// The descriptor `path` (absolute, its folder free of links) names, or -1.
int DescriptorOfPath(std::string_view path) {
  if (path == "/dev/stdin") return 0;
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  const std::size_t slash = path.rfind('/');
  const std::string_view folder = path.substr(0, slash);
  const int fd = NumberOf(path.substr(slash + 1));
  if (fd < 0 || !folder.ends_with("/fd")) return -1;
  const std::string self = "/proc/" + std::to_string(::getpid());
  const std::string_view owner = folder.substr(0, folder.size() - 3);
  // The folder is canonical: /proc/self and /proc/thread-self have become this process's
  // number, and /dev/fd (a link on Linux) its /proc folder.
  const bool ours =
      owner == "/dev" || owner == self ||
      (owner.starts_with(self + "/task/") && NumberOf(owner.substr(self.size() + 6)) >= 0);
  return ours ? fd : -1;
}

}  // namespace

int DescriptorOfName(const std::string& name) {
  namespace fs = std::filesystem;
  fs::path path = fs::u8path(name);
  for (int link = 0; link <= kMostLinks; ++link) {
    std::error_code error;
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const fs::path canonical = fs::canonical(fs::absolute(folder, error), error);
    if (error || !path.has_filename()) return -1;
    const fs::path full = canonical / path.filename();
    const int fd = DescriptorOfPath(full.native());
    if (fd >= 0) return fd;
    if (!fs::is_symlink(fs::symlink_status(full, error)) || error) return -1;
    const fs::path target = fs::read_symlink(full, error);
    if (error) return -1;
    path = target.is_absolute() ? target : canonical / target;
  }
  return -1;
}

FileKind KindOfFile(const std::string& name) {
  if (DescriptorOfName(name) >= 0) return FileKind::kStream;
  struct stat at {};
  if (::stat(name.c_str(), &at) != 0) return FileKind::kMissing;
  if (S_ISREG(at.st_mode)) return FileKind::kRegular;
  if (S_ISDIR(at.st_mode)) return FileKind::kFolder;
  return FileKind::kStream;
}

FileIdentity IdentifyDescriptorFile(int fd) {
  struct stat at {};
  if (::fstat(fd, &at) != 0 || !S_ISREG(at.st_mode)) return {};
  return IdentityOfStat(at);
}

FileIdentity IdentifyFileAtName(const std::string& name) {
  struct stat at {};
  if (::lstat(name.c_str(), &at) != 0) return {};
  return IdentityOfStat(at);
}

int OpenStream(const std::string& name) {
  // The descriptor's own file and place in it, as the shell's redirection left them.
  if (const int named = DescriptorOfName(name); named >= 0) {
    return ::fcntl(named, F_DUPFD_CLOEXEC, 3);
  }
  const int fd = ::open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return -1;
  // Whatever stands at the name may have changed since it was looked at: a regular file
  // is replaced whole, never written into.
  struct stat at {};
  const int error = ::fstat(fd, &at) != 0 ? errno
                    : S_ISREG(at.st_mode) ? EEXIST
                    : S_ISDIR(at.st_mode) ? EISDIR
                                          : 0;
  if (error != 0) {
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

}  // namespace trelba
