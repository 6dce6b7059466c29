#include "reports/report_file.hpp"

#include <fcntl.h>
#include <stdio.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <ctime>
#include <iterator>

namespace trelba {
namespace {

constexpr int kTemporaryNameAttempts = 100;
constexpr std::size_t kUniqueLetters = 6;
constexpr std::string_view kTemporaryPrefix = ".";
constexpr std::string_view kTemporarySuffix = ".tmp";

// Six letters for a temporary name: from the kernel's random source, or failing that
// from the clock, the process id and a counter.
std::string UniqueLetters() {
  static constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static unsigned counter = 0;
  std::array<unsigned char, kUniqueLetters> random{};
  if (::getrandom(random.data(), random.size(), GRND_NONBLOCK) !=
      static_cast<ssize_t>(random.size())) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    auto mix = static_cast<unsigned long>(now.tv_nsec) ^
               (static_cast<unsigned long>(::getpid()) << 20) ^ (++counter * 2654435761u);
    for (unsigned char& byte : random) {
      byte = static_cast<unsigned char>(mix);
      mix = mix * 6364136223846793005u + 1442695040888963407u;
      byte = static_cast<unsigned char>(byte ^ (mix >> 56));
    }
  }
  std::string letters;
  for (const unsigned char byte : random) letters += kAlphabet[byte % kAlphabet.size()];
  return letters;
}

// ".<base>.XXXXXX.tmp" in the folder of `name`.
std::string TemporaryName(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
  std::string temporary = name.substr(0, base);
  temporary += kTemporaryPrefix;
  temporary.append(name, base);
  temporary += '.';
  temporary += UniqueLetters();
  temporary += kTemporarySuffix;
  return temporary;
}

// Something a report may replace: nothing, a regular file other than `keep`, or a
// symbolic link (replaced, never followed).
bool MayReplace(const std::string& name, const FileIdentity& keep) {
  struct stat at {};
  if (::lstat(name.c_str(), &at) != 0) return errno == ENOENT;
  if (S_ISLNK(at.st_mode)) return true;
  if (!S_ISREG(at.st_mode)) return false;
  return !(keep.known && at.st_dev == keep.device && at.st_ino == keep.inode);
}

}  // namespace

FileIdentity IdentifyFile(const std::string& name) {
  struct stat at {};
  if (::stat(name.c_str(), &at) != 0) return {};
  return {true, at.st_dev, at.st_ino};
}

ReportFile::~ReportFile() {
  Discard();
}

bool ReportFile::Open(const std::string& name, const FileIdentity& keep) {
  Discard();
  name_ = name;
  if (!MayReplace(name, keep)) return false;
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    std::string temporary = TemporaryName(name);
    // Registered before it exists, so that no signal can leave it behind.
    const DeferInterrupts hold;
    const TemporarySlot slot = RegisterTemporaryFile(temporary.c_str());
    if (slot == kNoTemporarySlot) return false;
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      fd_ = fd;
      temporary_ = std::move(temporary);
      slot_ = slot;
      stage_ = Stage::kWriting;
      return true;
    }
    const int open_errno = errno;
    ForgetTemporaryFile(slot);
    if (open_errno != EEXIST) return false;
  }
  return false;
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

bool ReportFile::Write(const char* data, std::size_t size) {
  return WriteAll(fd_, data, size);
}

bool ReportFile::Close() {
  const int fd = fd_;
  fd_ = -1;
  return fd < 0 || ::close(fd) == 0;
}

bool ReportFile::Commit() {
  ReportFile* const self[] = {this};
  return CommitAll(self) == std::size(self);
}

bool ReportFile::Place() {
  // What stands at the name may have changed since Open(); a folder must not be moved.
  if (stage_ != Stage::kWriting || !Close() || !MayReplace(name_, {})) {
    Discard();
    return false;
  }
  const char* const from = temporary_.c_str();
  const char* const to = name_.c_str();
  if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_EXCHANGE) == 0) {
    stage_ = Stage::kSwapped;
    return true;
  }
  if (errno == ENOENT && ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
    stage_ = Stage::kPlaced;
    return true;
  }
  if (errno == EINVAL && ::rename(from, to) == 0) {
    stage_ = Stage::kPlaced;
    Settle();
    return true;
  }
  Discard();
  return false;
}

void ReportFile::Settle() {
  if (stage_ == Stage::kSwapped) ::unlink(temporary_.c_str());
  if (stage_ != Stage::kNone) ForgetTemporaryFile(slot_);
  stage_ = Stage::kNone;
  slot_ = kNoTemporarySlot;
  temporary_.clear();
}

void ReportFile::Discard() {
  Close();
  switch (stage_) {
    case Stage::kNone:
      return;
    case Stage::kWriting:
      ::unlink(temporary_.c_str());
      break;
    case Stage::kSwapped:
      // The earlier file back at its name, the report to the temporary name, removed.
      ::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, name_.c_str(), RENAME_EXCHANGE);
      ::unlink(temporary_.c_str());
      break;
    case Stage::kPlaced:
      ::unlink(name_.c_str());
      break;
  }
  ForgetTemporaryFile(slot_);
  stage_ = Stage::kNone;
  slot_ = kNoTemporarySlot;
  temporary_.clear();
}

std::size_t CommitAll(std::span<ReportFile* const> reports) {
  const DeferInterrupts all_or_none;
  for (std::size_t i = 0; i < reports.size(); ++i) {
    if (reports[i]->Place()) continue;
    for (std::size_t placed = i; placed != 0;) reports[--placed]->Discard();
    return i;
  }
  for (ReportFile* report : reports) report->Settle();
  return reports.size();
}

}  // namespace trelba
