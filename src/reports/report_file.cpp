#include "reports/report_file.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <iterator>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "reports/report_file_system.hpp"

namespace trelba {
namespace {

constexpr int kTemporaryNameAttempts = 100;
// The longest base name the file systems take (NAME_MAX; Windows counts UTF-16 units).
constexpr std::size_t kMaxBaseName = 255;
constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// Process numbers of more digits are not ours (a pid_t is an int).
constexpr std::size_t kMaxProcessIdDigits = 10;
constexpr unsigned long kMaxProcessId = 0x7fffffff;

std::atomic<bool> sync_on_commit{false};

// Six letters for a temporary name: from the system's random source, or failing that
// from the clock and a counter.
std::string UniqueLetters() {
  static unsigned counter = 0;
  std::array<unsigned char, kTemporaryLetters> random{};
  if (!FillRandom(random.data(), random.size())) {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    auto mix = static_cast<unsigned long long>(now) ^ (++counter * 2654435761u);
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

// 64-bit FNV-1a, in 16 lower-case hex digits.
std::string NameHash(std::string_view name) {
  std::uint64_t hash = 14695981039346656037u;
  for (const char c : name) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211u;
  }
  std::string hex(16, '0');
  for (std::size_t i = hex.size(); i != 0; hash >>= 4) hex[--i] = "0123456789abcdef"[hash & 15];
  return hex;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The process number and letters of a name shaped like a temporary one (either form of
// report_file.hpp), or false. Whether it is the temporary of a given report is for
// TemporaryBaseName to say.
bool ParseTemporaryName(std::string_view name, unsigned long& pid, std::string& letters) {
  if (!name.ends_with(kTemporarySuffix)) return false;
  name.remove_suffix(kTemporarySuffix.size());
  if (name.size() < kTemporaryLetters + 1) return false;
  letters = std::string(name.substr(name.size() - kTemporaryLetters));
  if (letters.find_first_not_of(kAlphabet) != std::string::npos) return false;
  name.remove_suffix(kTemporaryLetters);
  if (!name.ends_with('.')) return false;
  name.remove_suffix(1);
  std::size_t digits = 0;
  while (digits < name.size() && IsDigit(name[name.size() - 1 - digits])) ++digits;
  if (digits == 0 || digits > kMaxProcessIdDigits || digits == name.size()) return false;
  pid = 0;
  for (const char c : name.substr(name.size() - digits))
    pid = pid * 10 + static_cast<unsigned long>(c - '0');
  return pid != 0 && pid <= kMaxProcessId;
}

// The temporary names found in each folder, read once a run: a run over many inputs in
// one folder reads the folder once, not once for each report.
struct FolderKey {
  std::uint64_t device;
  std::uint64_t inode;
  auto operator<=>(const FolderKey&) const = default;
};
std::mutex stale_lock;
std::map<FolderKey, std::vector<std::string>> temporary_names;

// Removes the files beside the report `base` that are its temporaries of gone processes.
void RemoveStaleTemporaries(const ReportFolder& folder, const std::string& base) {
  const FileIdentity identity = IdentifyFolder(folder);
  if (!identity.known) return;
  const std::lock_guard hold(stale_lock);
  const FolderKey key{identity.device, identity.inode};
  auto found = temporary_names.find(key);
  if (found == temporary_names.end()) {
    found = temporary_names.emplace(key, ListTemporaryNames(folder)).first;
  }
  std::vector<std::string>& names = found->second;
  std::erase_if(names, [&](const std::string& name) {
    unsigned long pid = 0;
    std::string letters;
    if (!ParseTemporaryName(name, pid, letters)) return true;  // never anyone's
    if (name != TemporaryBaseName(base, pid, letters)) return false;
    if (ProcessIsGone(pid)) RemoveFile(RemovalFolder(folder), RemovalName(folder, name).c_str());
    return true;
  });
}

}  // namespace

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size != 0) {
    const std::ptrdiff_t n = WriteSome(fd, data, size);
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

bool ReadAll(int fd, char* data, std::size_t size, std::size_t& got) {
  got = 0;
  while (got < size) {
    const std::ptrdiff_t n = ReadSome(fd, data + got, size - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

void SetSyncOnCommit(bool on) {
  sync_on_commit = on;
}

std::string TemporaryBaseName(std::string_view base, unsigned long pid, std::string_view letters) {
  std::string tail = std::to_string(pid);
  tail += '.';
  tail.append(letters);
  tail.append(kTemporarySuffix);
  std::string temporary = ".";
  if (base.size() + tail.size() + 2 <= kMaxBaseName) {
    temporary.append(base);
    temporary += '.';
    return temporary.append(tail);
  }
  std::size_t keep = kMaxBaseName - (1 + 1 + 16 + 1 + tail.size());
  // Never between the bytes of one UTF-8 character (Windows converts the name to UTF-16).
  while (keep != 0 && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80) --keep;
  temporary.append(base.substr(0, keep));
  temporary += '.';
  temporary.append(NameHash(base));
  temporary += '-';
  return temporary.append(tail);
}

ReportFile::~ReportFile() {
  Discard();
}

bool ReportFile::Open(const std::string& name, const FileIdentity& keep) {
  Discard();
  error_ = {};
  name_ = name;
  std::size_t split = name.size();
  while (split != 0 && !EndsFolderPart(name[split - 1])) --split;
  base_ = name.substr(split);
  if (base_.empty()) return Fail({EISDIR});  // the name of a folder
  if (!OpenFolder(name.substr(0, split), folder_)) return Fail({errno});
  if (IsSystemFolder(folder_)) return Fail({0, kSystemFolderRefusal});
  if (const FailureCause refusal = ReplaceRefusal(folder_, base_, keep)) return Fail(refusal);
  RemoveStaleTemporaries(folder_, base_);
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    std::string temporary = TemporaryBaseName(base_, ProcessId(), UniqueLetters());
    const std::string removal_name = RemovalName(folder_, temporary);
    // Registered before it exists, so that no interruption can leave it behind.
    const DeferInterrupts hold;
    const TemporarySlot slot = RegisterTemporaryFile(RemovalFolder(folder_), removal_name.c_str());
    if (slot == kNoTemporarySlot) {
      return Fail({removal_name.size() < kMaxTemporaryPath ? EMFILE : ENAMETOOLONG});
    }
    bool taken = false;
    const int fd = CreateNewFile(folder_, temporary, taken);
    if (fd >= 0) {
      fd_ = fd;
      temporary_ = std::move(temporary);
      slot_ = slot;
      stage_ = Stage::kWriting;
      return true;
    }
    const int error = errno;
    ForgetTemporaryFile(slot);
    if (!taken) return Fail({error});
  }
  return Fail({EEXIST});
}

bool ReportFile::Write(const char* data, std::size_t size) {
  return WriteAll(fd_, data, size) || Fail({errno});
}

bool ReportFile::Truncate(std::uint64_t size) {
  return TruncateFile(fd_, size) || Fail({errno});
}

bool ReportFile::Close() {
  const int fd = fd_;
  if (fd < 0) return true;
  fd_ = -1;
  const bool finished = FinishFile(fd, folder_, base_, sync_on_commit) || Fail({errno});
  const bool closed = CloseFile(fd) || Fail({errno});
  return finished && closed;
}

bool ReportFile::Commit() {
  ReportFile* const self[] = {this};
  return CommitAll(self) == std::size(self);
}

bool ReportFile::Place() {
  // What stands at the name may have changed since Open(); a folder must not be moved.
  if (stage_ != Stage::kWriting) {
    Discard();
    return Fail({EBADF});
  }
  if (!Close()) {
    Discard();
    return false;
  }
  if (const FailureCause refusal = ReplaceRefusal(folder_, base_, {})) {
    Discard();
    return Fail(refusal);
  }
  switch (PlaceFile(folder_, temporary_, base_)) {
    case Placement::kSwapped:
      stage_ = Stage::kSwapped;
      return true;
    case Placement::kPlaced:
      stage_ = Stage::kPlaced;
      return true;
    case Placement::kReplaced:
      Forget();  // what stood there is gone: nothing to put back
      return true;
    case Placement::kFailed:
      break;
  }
  Fail({errno});
  Discard();
  return false;
}

bool ReportFile::SyncPlacement() {
  return SyncFolder(folder_) || Fail({errno});
}

void ReportFile::Settle() {
  if (stage_ == Stage::kSwapped) {
    RemoveFile(RemovalFolder(folder_), RemovalName(folder_, SetAside(temporary_)).c_str());
  }
  Forget();
  CloseFolder(folder_);
}

void ReportFile::Discard() {
  if (fd_ >= 0) CloseFile(fd_);
  fd_ = -1;
  switch (stage_) {
    case Stage::kNone:
      break;
    case Stage::kWriting:
      RemoveFile(RemovalFolder(folder_), RemovalName(folder_, temporary_).c_str());
      break;
    case Stage::kSwapped:
      PutBack(folder_, temporary_, base_);
      break;
    case Stage::kPlaced:
      RemoveFile(RemovalFolder(folder_), RemovalName(folder_, base_).c_str());
      break;
  }
  Forget();
  CloseFolder(folder_);
}

void ReportFile::Forget() {
  if (stage_ != Stage::kNone) ForgetTemporaryFile(slot_);
  stage_ = Stage::kNone;
  slot_ = kNoTemporarySlot;
  temporary_.clear();
}

std::size_t CommitAll(std::span<ReportFile* const> reports) {
  const DeferInterrupts all_or_none;
  const auto put_back = [&](std::size_t placed) {
    while (placed != 0) reports[--placed]->Discard();
  };
  for (std::size_t i = 0; i < reports.size(); ++i) {
    if (reports[i]->Place()) continue;
    put_back(i);
    return i;
  }
  if (sync_on_commit) {
    // Each folder once, however many reports it holds.
    std::vector<FileIdentity> synced;
    for (std::size_t i = 0; i < reports.size(); ++i) {
      const FileIdentity folder = IdentifyFolder(reports[i]->folder());
      const bool seen = folder.known && std::any_of(synced.begin(), synced.end(), [&](auto& s) {
                          return s.device == folder.device && s.inode == folder.inode;
                        });
      if (seen) continue;
      if (!reports[i]->SyncPlacement()) {
        put_back(reports.size());
        return i;
      }
      synced.push_back(folder);
    }
  }
  for (ReportFile* report : reports) report->Settle();
  return reports.size();
}

}  // namespace trelba
