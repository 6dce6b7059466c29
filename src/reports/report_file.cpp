#include "reports/report_file.hpp"

#include <array>
#include <chrono>
#include <iterator>

#include "reports/report_file_system.hpp"

namespace trelba {
namespace {

constexpr int kTemporaryNameAttempts = 100;
constexpr std::size_t kUniqueLetters = 6;
constexpr std::string_view kTemporaryPrefix = ".";

// Six letters for a temporary name: from the system's random source, or failing that
// from the clock and a counter.
std::string UniqueLetters() {
  static constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static unsigned counter = 0;
  std::array<unsigned char, kUniqueLetters> random{};
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

// ".<base>.XXXXXX.tmp" in the folder of `name`.
std::string TemporaryName(const std::string& name) {
  std::size_t base = name.size();
  while (base != 0 && !EndsFolderPart(name[base - 1])) --base;
  std::string temporary = name.substr(0, base);
  temporary += kTemporaryPrefix;
  temporary.append(name, base);
  temporary += '.';
  temporary += UniqueLetters();
  temporary += kTemporarySuffix;
  return temporary;
}

}  // namespace

ReportFile::~ReportFile() {
  Discard();
}

bool ReportFile::Open(const std::string& name, const FileIdentity& keep) {
  Discard();
  name_ = name;
  if (!MayReplace(name, keep)) return false;
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    std::string temporary = TemporaryName(name);
    // Registered before it exists, so that no interruption can leave it behind.
    const DeferInterrupts hold;
    const TemporarySlot slot = RegisterTemporaryFile(temporary.c_str());
    if (slot == kNoTemporarySlot) return false;
    bool taken = false;
    const int fd = CreateNewFile(temporary, taken);
    if (fd >= 0) {
      fd_ = fd;
      temporary_ = std::move(temporary);
      slot_ = slot;
      stage_ = Stage::kWriting;
      return true;
    }
    ForgetTemporaryFile(slot);
    if (!taken) return false;
  }
  return false;
}

bool ReportFile::Write(const char* data, std::size_t size) {
  return WriteAll(fd_, data, size);
}

bool ReportFile::Close() {
  const int fd = fd_;
  fd_ = -1;
  return fd < 0 || CloseFile(fd);
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
  switch (PlaceFile(temporary_, name_)) {
    case Placement::kSwapped:
      stage_ = Stage::kSwapped;
      return true;
    case Placement::kPlaced:
      stage_ = Stage::kPlaced;
      return true;
    case Placement::kReplaced:
      stage_ = Stage::kPlaced;
      Settle();
      return true;
    case Placement::kFailed:
      break;
  }
  Discard();
  return false;
}

void ReportFile::Settle() {
  if (stage_ == Stage::kSwapped) RemoveFile(SetAside(temporary_).c_str());
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
      RemoveFile(temporary_.c_str());
      break;
    case Stage::kSwapped:
      PutBack(temporary_, name_);
      break;
    case Stage::kPlaced:
      RemoveFile(name_.c_str());
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
