// A report file on disk, replaced whole or not at all: its bytes go to a new temporary
// file beside it (".<report name>.XXXXXX.tmp"), which Commit() moves over the report's
// name once the run has succeeded. Until then whatever stands at the name is untouched; a
// link there is replaced, never followed. An uncommitted temporary file is removed by
// Discard(), the destructor, or the interruption handler of reports/temporary_files.hpp.
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

// Writes all `size` bytes to the descriptor `fd`, resuming after interruptions and short
// writes; false after an error.
bool WriteAll(int fd, const char* data, std::size_t size);

// The file `name` leads to, following symbolic links; unknown if it cannot be found.
FileIdentity IdentifyFile(const std::string& name);

// The file standard input reads, when it reads one; unknown for a pipe or a console on
// Windows.
FileIdentity IdentifyStandardInput();

// The file standard output writes, when it writes one; unknown for a pipe or a device.
FileIdentity IdentifyStandardOutput();

class ReportFile final : public ByteSink {
 public:
  ReportFile() = default;
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;
  ~ReportFile() override;

  // Creates the temporary file for the report `name` (mode 0666 less the umask). Fails,
  // before anything is written, when something other than a regular file or a symbolic
  // link stands at `name` (a folder, a FIFO, a device), when `name` is the file `keep`
  // itself (the input, or a hard link to it), or when the temporary cannot be created.
  bool Open(const std::string& name, const FileIdentity& keep = {});
  bool Write(const char* data, std::size_t size) override;
  // Closes the temporary file; false when the close reported an error.
  bool Close();
  // Closes the temporary file if still open and moves it over the report's name; false
  // (and the temporary removed) when either fails. CommitAll commits several together.
  bool Commit();
  // Removes the temporary file, leaving the report's name as it was.
  void Discard();

  // The two steps of a commit. Place() moves the report to its name and keeps whatever
  // stood there aside, under the temporary name, so that Discard() can still put it back;
  // Settle() removes it. Where the file system cannot exchange two names (RENAME_EXCHANGE),
  // Place() is a plain rename that cannot be undone. On Windows, which cannot exchange
  // names, the earlier file is first moved aside (".<name>.XXXXXX.old"), then the report
  // to its name: for that moment nothing stands at the name.
  bool Place();
  void Settle();

 private:
  enum class Stage {
    kNone,     // no temporary file
    kWriting,  // the report is in the temporary file
    kSwapped,  // the report is at its name, the earlier file set aside
    kPlaced,   // the report is at its name, where nothing stood before
  };

  Stage stage_ = Stage::kNone;
  int fd_ = -1;
  std::string name_;
  std::string temporary_;
  TemporarySlot slot_ = kNoTemporarySlot;
};

// Commits every report or none, with interruptions (signals, Ctrl-C) held: each is placed in
// turn, and if one fails, those placed before it are put back. Returns the index of the
// report that failed, or reports.size() when all are committed.
std::size_t CommitAll(std::span<ReportFile* const> reports);

}  // namespace trelba
