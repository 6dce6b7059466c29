// A report file on disk, replaced whole or not at all: its bytes go to a new temporary
// file beside it, which Commit() moves over the report's name once the run has succeeded.
// Until then whatever stands at the name is untouched; a link there is replaced, never
// followed. An uncommitted temporary file is removed by Discard(), the destructor, or the
// interruption handler of reports/temporary_files.hpp. On POSIX systems the report's folder is
// held open from Open() on and every file is reached through it: a folder renamed during
// the run still holds the temporary file, receives the report, and keeps nothing of it
// after a failure or an interruption.
//
// The temporary file of the report NAME (its base name, without the folder) is
//
//   .NAME.PID.XXXXXX.tmp                        when that is at most 255 bytes, else
//   .PREFIX.HHHHHHHHHHHHHHHH-PID.XXXXXX.tmp     at most 255 bytes,
//
// PID the process's number in decimal, XXXXXX six random letters and digits, PREFIX as
// many first bytes of NAME as fit (cut between UTF-8 characters) and H... the 64-bit
// FNV-1a hash of the whole NAME in lower-case hex. (On Windows the earlier report is set
// aside under the same name ending in ".old".)
//
// A process killed outright (SIGKILL) leaves its temporary files. On POSIX systems, Open() removes
// beside its report, before it creates its own, every file whose name is exactly one this
// report would get under a PID that no running process has, and nothing else: not another
// report's files, not those of a running process, not names of any other shape (those of
// earlier versions, without a PID, included). The long form has ".PID" where the short one
// has "-PID", so the two never meet; a short form is taken for this report's only when
// both its prefix and the hash of the whole name agree, which a name of another report
// does only by a hash collision. A process number means nothing on another machine or in
// another PID namespace: runs there that share the folder are taken for gone.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "reports/output_buffer.hpp"
#include "reports/temporary_files.hpp"

namespace trelba {

// Which file a name leads to (device and inode; on Windows the volume's serial number and
// the file's index), to recognise it under another name.
struct FileIdentity {
  bool known = false;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
};

// The identity in what stat(2) gave, whatever the system's types of st_dev and st_ino.
template <typename Stat>
FileIdentity IdentityOfStat(const Stat& info) {
  return {true, static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

// The folder of a report, held from Open() to the end of the commit: on POSIX an open
// descriptor that every call goes through, on Windows the folder part of the name.
struct ReportFolder {
  int fd = -1;
  std::string name;  // with its separator; "" for the current folder
};

// Writes all `size` bytes to the descriptor `fd`, resuming after interruptions and short
// writes; false after an error (errno set).
bool WriteAll(int fd, const char* data, std::size_t size);

// The file `name` leads to, following symbolic links; unknown if it cannot be found.
FileIdentity IdentifyFile(const std::string& name);

// The file standard input reads, when it reads one; unknown for a pipe or a console on
// Windows.
FileIdentity IdentifyStandardInput();

// The file standard output writes, when it writes one; unknown for a pipe or a device.
FileIdentity IdentifyStandardOutput();

// With `on` (--sync), every commit writes each report's bytes through to the disk before
// it is moved to its name, and each folder's names through to the disk once all are
// moved: a commit that succeeds has put every report on the disk. Off by default.
void SetSyncOnCommit(bool on);

class ReportFile final : public ByteSink {
 public:
  ReportFile() = default;
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;
  ~ReportFile() override;

  // Creates the temporary file for the report `name` (mode 0666 less the umask). Fails,
  // before anything is written, when something other than a regular file or a symbolic
  // link stands at `name` (a folder, a FIFO, a device), when `name` is the file `keep`
  // itself (the input, or a hard link to it), or when the folder or the temporary cannot
  // be opened. Every step that fails (Open, Write, Close, Commit) leaves its cause in
  // error().
  bool Open(const std::string& name, const FileIdentity& keep = {});
  bool Write(const char* data, std::size_t size) override;
  bool CanTruncate() const override { return true; }
  bool Truncate(std::uint64_t size) override;
  // Closes the temporary file, first giving it the permission bits of the regular file it
  // is to replace (a new report keeps 0666 less the umask) and, with SetSyncOnCommit,
  // writing it to the disk; false when any of that failed.
  bool Close();
  // Closes the temporary file if still open and moves it over the report's name; false
  // (and the temporary removed) when either fails. CommitAll commits several together.
  bool Commit();
  // Removes the temporary file, leaving the report's name as it was.
  void Discard();

  // The two steps of a commit. Place() moves the report to its name and keeps whatever
  // stood there aside, under the temporary name, so that Discard() can still put it back;
  // Settle() removes it. Where a Linux file system cannot exchange two names
  // (RENAME_EXCHANGE), Place() is a plain rename that cannot be undone. POSIX has no
  // exchange: the earlier file is first given a second name (a hard link, or where the
  // file system has none a rename, which leaves the name empty for that moment), then
  // the report renamed to its name. On Windows, which cannot exchange names, the earlier
  // file is first moved aside (".old"), then the report to its name: for that moment
  // nothing stands at the name.
  bool Place();
  void Settle();
  // Between the two with SetSyncOnCommit: the folder's names to the disk.
  bool SyncPlacement();
  const ReportFolder& folder() const { return folder_; }

 private:
  enum class Stage {
    kNone,     // no temporary file
    kWriting,  // the report is in the temporary file
    kSwapped,  // the report is at its name, the earlier file set aside
    kPlaced,   // the report is at its name, where nothing stood before
  };

  void Forget();  // the temporary file is no longer ours to remove

  Stage stage_ = Stage::kNone;
  int fd_ = -1;
  std::string name_;  // as given to Open()
  ReportFolder folder_;
  std::string base_;       // the report's name in its folder
  std::string temporary_;  // the temporary's name in the folder
  TemporarySlot slot_ = kNoTemporarySlot;
};

// Commits every report or none, with interruptions (signals, Ctrl-C) held: each is placed in
// turn, and if one fails, those placed before it are put back. Returns the index of the
// report that failed, or reports.size() when all are committed.
std::size_t CommitAll(std::span<ReportFile* const> reports);

// The base name of the temporary file of the report `base` (see above).
std::string TemporaryBaseName(std::string_view base, unsigned long pid, std::string_view letters);

}  // namespace trelba
