// Runs that fail part way (read and write errors, a full disk, a failed close, a file-size
// limit, memory running out, a signal) leave every report exactly as it was before the
// run and no temporary file behind; interrupted and short reads and writes, which a run
// must retry, leave exactly the right reports. The faults come from the preloaded shim of
// tests/fault.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "analyse_text.hpp"
#include "reports/report_file.hpp"
#include "run_tool.hpp"
#include "synthetic_genes.hpp"

namespace trelba::test {
namespace {

constexpr int kFailed = 255;

// About 0.6 MB of input giving 2.6 MB of counts and 0.4 MB of order values: more than one
// read block and several write blocks.
const std::string& Input() {
  static const std::string input = SyntheticGenes(2000, 100);
  return input;
}

// 1.2 MB of genes of five codons: their table rows (6 MB), counts and scores (50,000) pass
// what the stores hold in memory, and go to the temporary folder.
const std::string& ShortGenes() {
  static const std::string input = SyntheticGenes(50000, 5);
  return input;
}

struct Fault {
  const char* kind;  // TRELBA_FAULT
  const char* call;  // TRELBA_FAULT_CALL
  const char* path;  // TRELBA_FAULT_PATH
  unsigned long at;  // TRELBA_FAULT_AT
};

void PrintTo(const Fault& fault, std::ostream* os) {
  *os << fault.kind << " on " << fault.call << " of " << fault.path << " from byte " << fault.at;
}

RunOptions Injecting(const Fault& fault) {
  RunOptions options;
  options.inject_faults = true;
  options.environment = {{"TRELBA_FAULT", fault.kind},
                         {"TRELBA_FAULT_CALL", fault.call},
                         {"TRELBA_FAULT_PATH", fault.path},
                         {"TRELBA_FAULT_AT", std::to_string(fault.at)}};
  return options;
}

const char* const kReportSuffixes[] = {".iik", ".ok", ".freq"};
// The table and summary of an earlier run, at the names the cases give them.
const char* const kRunOutputs[] = {"t.tsv", "s.tsv"};

// Reports, a table and a summary left by an earlier run, which a failed run must not touch.
void PlaceEarlierReports(const std::filesystem::path& dir) {
  for (const char* suffix : kReportSuffixes) {
    WriteFile(dir / (std::string("in.fa") + suffix), std::string("earlier ") + suffix + "\n");
  }
  for (const char* name : kRunOutputs) WriteFile(dir / name, std::string("earlier ") + name);
}

void ExpectEarlierReportsUnchanged(const std::filesystem::path& dir,
                                   const std::string& input = Input()) {
  for (const char* suffix : kReportSuffixes) {
    EXPECT_EQ(ReadFile(dir / (std::string("in.fa") + suffix)),
              std::string("earlier ") + suffix + "\n")
        << suffix;
  }
  for (const char* name : kRunOutputs) {
    EXPECT_EQ(ReadFile(dir / name), std::string("earlier ") + name) << name;
  }
  EXPECT_TRUE(ReadFile(dir / "in.fa") == input);
  EXPECT_EQ(LeftoverTemporaryFiles(dir), std::vector<std::string>{});
}

// A tmpfs of `kib` KiB mounted on `folder` while it stands (as root; mounted() false
// elsewhere).
class SmallTmpfs {
 public:
  SmallTmpfs(const std::filesystem::path& folder, long kib) : folder_(folder) {
    std::filesystem::create_directory(folder);
    const std::string options = "size=" + std::to_string(kib) + "k";
    mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallTmpfs() {
    if (mounted_) ::umount(folder_.c_str());
  }
  SmallTmpfs(const SmallTmpfs&) = delete;
  SmallTmpfs& operator=(const SmallTmpfs&) = delete;
  bool mounted() const { return mounted_; }

 private:
  std::filesystem::path folder_;
  bool mounted_ = false;
};

struct FailedRunCase {
  const char* name;
  Fault fault;
  int status;
  std::string err;
  std::vector<std::string> options = {};  // before the input
  const char* cores = nullptr;            // the processors the program is told of
  const char* copy = nullptr;             // a file beside the input, with its text
  // With a TMPDIR (a folder beside the input, made when it is "spill"), the input is
  // ShortGenes(); with tmpfs_kib, a tmpfs of that size is mounted there (as root; the case
  // is skipped elsewhere).
  const char* tmpdir = nullptr;
  long tmpfs_kib = 0;
  bool no_hard_links = false;  // linkat fails as on a file system without hard links
};

void PrintTo(const FailedRunCase& c, std::ostream* os) {
  *os << c.name;
}

class FailedRun : public ::testing::TestWithParam<FailedRunCase> {};

// Regression: a run failing part way used to have emptied the earlier reports and to
// leave new ones cut at a sequence boundary, looking complete.
TEST_P(FailedRun, LeavesEarlierReportsUnchanged) {
  const FailedRunCase& c = GetParam();
  ScratchDir dir;
  const std::string& input = c.tmpdir != nullptr ? ShortGenes() : Input();
  WriteFile(dir / "in.fa", input);
  PlaceEarlierReports(dir.path());
  if (c.copy != nullptr) WriteFile(dir / c.copy, input);
  std::vector<std::string> args = c.options;
  args.emplace_back("in.fa");
  RunOptions options = Injecting(c.fault);
  if (c.cores != nullptr) options.environment.emplace_back("TRELBA_CORES", c.cores);
  if (c.no_hard_links) options.environment.emplace_back("TRELBA_NO_HARD_LINKS", "1");
  if (c.tmpdir != nullptr) options.environment.emplace_back("TMPDIR", c.tmpdir);
  if (c.tmpdir != nullptr && c.tmpdir == std::string_view("spill")) {
    std::filesystem::create_directory(dir / "spill");
  }
  std::optional<SmallTmpfs> tmpfs;
  if (c.tmpfs_kib != 0 && !tmpfs.emplace(dir / c.tmpdir, c.tmpfs_kib).mounted()) {
    GTEST_SKIP() << "no tmpfs can be mounted here (not root)";
  }
  const RunResult run = RunTrelba(args, dir.path(), options);
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(run.err, c.err);
  ExpectEarlierReportsUnchanged(dir.path(), input);
  if (c.copy != nullptr) {
    EXPECT_TRUE(ReadFile(dir / c.copy) == input);
  }
  if (c.tmpdir != nullptr && std::filesystem::exists(dir / c.tmpdir)) {
    EXPECT_TRUE(std::filesystem::is_empty(dir / c.tmpdir));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FailedRun,
    ::testing::Values(
        // The input's first block is read as it is opened (to tell whether it is compressed).
        FailedRunCase{"ReadErrorAtStart",
                      {"EIO", "read", "in.fa", 0},
                      kFailed,
                      "Error opening file: in.fa\nTrelba: in.fa: Input/output error\n"},
        // Regression: no error line said why (here and below).
        FailedRunCase{"ReadErrorPastFirstBlock",
                      {"EIO", "read", "in.fa", 300000},
                      kFailed,
                      "Error reading file: in.fa (Input/output error)\n"},
        // Two workers and a core to spare: the read-ahead thread reads.
        FailedRunCase{"ReadErrorOnTheReadAheadThread",
                      {"EIO", "read", "in.fa", 300000},
                      kFailed,
                      "Error reading file: in.fa (Input/output error)\n",
                      {"-j", "2"},
                      "4"},
        FailedRunCase{"ReadErrorOnBackgroundFile",
                      {"EIO", "read", "bg.fa", 300000},
                      kFailed,
                      "Error reading file: bg.fa (Input/output error)\n",
                      {"--background", "bg.fa"},
                      nullptr,
                      "bg.fa"},
        FailedRunCase{"PermissionDeniedOnBackgroundFile",
                      {"EACCES", "open", "bg.fa", 0},
                      kFailed,
                      "Error opening file: bg.fa (Permission denied)\n",
                      {"--background", "bg.fa"},
                      nullptr,
                      "bg.fa"},
        // What the list holds is not looked at: it cannot be read.
        FailedRunCase{"ReadErrorOnInputList",
                      {"EIO", "read", "list.txt", 300000},
                      kFailed,
                      "Error reading file: list.txt (Input/output error)\n",
                      {"--infile-list", "list.txt"},
                      nullptr,
                      "list.txt"},
        FailedRunCase{"PermissionDeniedOnInputList",
                      {"EACCES", "open", "list.txt", 0},
                      kFailed,
                      "Error opening file: list.txt (Permission denied)\n",
                      {"--infile-list", "list.txt"},
                      nullptr,
                      "list.txt"},
        FailedRunCase{"HangupWhileReadingAhead",
                      {"SIGHUP", "read", "in.fa", 300000},
                      KilledBy(SIGHUP),
                      "",
                      {"-j", "2"},
                      "4"},
        FailedRunCase{"FullDiskOnOrderReport",
                      {"ENOSPC", "write", "in.fa.iik", 100000},
                      kFailed,
                      "Error writing file: in.fa.iik (No space left on device)\n"},
        FailedRunCase{"FullDiskOnScoreReport",
                      {"ENOSPC", "write", "in.fa.ok", 0},
                      kFailed,
                      "Error writing file: in.fa.ok (No space left on device)\n"},
        FailedRunCase{"FullDiskOnCountReport",
                      {"ENOSPC", "write", "in.fa.freq", 1000000},
                      kFailed,
                      "Error writing file: in.fa.freq (No space left on device)\n"},
        FailedRunCase{"WriteErrorOnCountReport",
                      {"EIO", "write", "in.fa.freq", 5},
                      kFailed,
                      "Error writing file: in.fa.freq (Input/output error)\n"},
        FailedRunCase{"CloseErrorOnScoreReport",
                      {"EIO", "close", "in.fa.ok", 0},
                      kFailed,
                      "Error writing file: in.fa.ok (Input/output error)\n"},
        // Reports beside an input whose folder takes no files: the error says the ways out.
        FailedRunCase{"PermissionDeniedOnCountReport",
                      {"EACCES", "open", "in.fa.freq", 0},
                      kFailed,
                      "Error opening file: in.fa.freq (Permission denied): the reports go beside "
                      "their input unless -o DIR/ names another folder, or --no-reports leaves "
                      "them out\n"},
        FailedRunCase{"ReadOnlyFileSystemOnOrderReport",
                      {"EROFS", "open", "in.fa.iik", 0},
                      kFailed,
                      "Error opening file: in.fa.iik (Read-only file system): the reports go "
                      "beside their input unless -o DIR/ names another folder, or --no-reports "
                      "leaves them out\n"},
        // A folder the user named: no advice.
        FailedRunCase{"PermissionDeniedInTheFolderGiven",
                      {"EACCES", "open", "in.fa.freq", 0},
                      kFailed,
                      "Error opening file: out/in.fa.freq (Permission denied)\n",
                      {"-o", "out/"}},
        FailedRunCase{"FullDiskOnTable",
                      {"ENOSPC", "write", "t.tsv", 0},
                      kFailed,
                      "Error writing file: t.tsv (No space left on device)\n",
                      {"-T", "t.tsv"}},
        // Through gzip on its way to the disk.
        FailedRunCase{"FullDiskOnCompressedTable",
                      {"ENOSPC", "write", "t.tsv.gz", 0},
                      kFailed,
                      "Error writing file: t.tsv.gz (No space left on device)\n",
                      {"-T", "t.tsv.gz"}},
        // Members compressed on three threads (the counts make more than one 512 KiB
        // member of rows); the writing thread meets the full disk.
        FailedRunCase{"FullDiskOnZstdTableWhileThreadsCompress",
                      {"ENOSPC", "write", "t.tsv.zst", 0},
                      kFailed,
                      "Error writing file: t.tsv.zst (No space left on device)\n",
                      {"-j", "3", "--counts", "-T", "t.tsv.zst"}},
        FailedRunCase{"FullDiskOnSummary",
                      {"ENOSPC", "write", "s.tsv", 0},
                      kFailed,
                      "Error writing file: s.tsv (No space left on device)\n",
                      {"--no-reports", "--summary", "s.tsv"}},
        FailedRunCase{"PermissionDeniedOnSummary",
                      {"EACCES", "open", "s.tsv", 0},
                      kFailed,
                      "Error opening file: s.tsv (Permission denied)\n",
                      {"--no-reports", "--summary", "s.tsv"}},
        FailedRunCase{"FullDiskOnHtmlReport",
                      {"ENOSPC", "write", "r.html", 0},
                      kFailed,
                      "Error writing file: r.html (No space left on device)\n",
                      {"--no-reports", "--report", "r.html"}},
        FailedRunCase{"PermissionDeniedOnHtmlReport",
                      {"EACCES", "open", "r.html", 0},
                      kFailed,
                      "Error opening file: r.html (Permission denied)\n",
                      {"--no-reports", "--report", "r.html"}},
        // The reports are moved to their names in the order they were created; when one
        // fails, those moved before it are put back.
        FailedRunCase{"RenameErrorOnFirstReport",
                      {"EIO", "rename", "in.fa.iik", 0},
                      kFailed,
                      "Error writing file: in.fa.iik (Input/output error)\n"},
        FailedRunCase{"RenameErrorOnScoreReport",
                      {"EIO", "rename", "in.fa.ok", 0},
                      kFailed,
                      "Error writing file: in.fa.ok (Input/output error)\n"},
        FailedRunCase{"RenameErrorOnLastReport",
                      {"ENOSPC", "rename", "in.fa.freq", 0},
                      kFailed,
                      "Error writing file: in.fa.freq (No space left on device)\n"},
        // Where no earlier file can be given a second name, each is renamed aside, then
        // back (the POSIX-only build; Linux's exchange needs no link).
        FailedRunCase{"RenameErrorOnLastReportWithoutHardLinks",
                      {"ENOSPC", "rename", "in.fa.freq", 0},
                      kFailed,
                      "Error writing file: in.fa.freq (No space left on device)\n",
                      {},
                      nullptr,
                      nullptr,
                      nullptr,
                      0,
                      true},
        // The buffers are had before the input is read: no memory, no input read.
        FailedRunCase{"OutOfMemory",
                      {"NOMEM", "", "", 65536},
                      kFailed,
                      "Error reading file: in.fa (out of memory)\n"},
        // The summary's first block of scores is had when a worker writes the first batch.
        FailedRunCase{"OutOfMemoryWhileAWorkerWritesABatch",
                      {"NOMEM", "", "", 500000},
                      kFailed,
                      "Error reading file: in.fa (out of memory)\n"
                      "Trelba: no input was read whole: s.tsv is left as it was\n",
                      {"-j", "3", "--summary", "s.tsv"},
                      "4"},
        FailedRunCase{"InterruptWhileWriting",
                      {"SIGINT", "write", "in.fa.freq", 1000000},
                      KilledBy(SIGINT),
                      ""},
        FailedRunCase{"TerminateWhileWriting",
                      {"SIGTERM", "write", "in.fa.iik", 200000},
                      KilledBy(SIGTERM),
                      ""},
        FailedRunCase{
            "HangupWhileReading", {"SIGHUP", "read", "in.fa", 300000}, KilledBy(SIGHUP), ""},
        FailedRunCase{"BrokenPipeWhileWriting",
                      {"SIGPIPE", "write", "in.fa.freq", 300000},
                      KilledBy(SIGPIPE),
                      ""},
        FailedRunCase{
            "TerminateAtLastWrite", {"SIGTERM", "write", "in.fa.ok", 0}, KilledBy(SIGTERM), ""},
        // Regression: every signal that ends the process but these four left the temporary
        // files behind. (SIGXFSZ is ignored: RetriedTransfer.)
        FailedRunCase{"QuitLeftTemporaryFiles",
                      {"SIGQUIT", "write", "in.fa.freq", 300000},
                      KilledBy(SIGQUIT),
                      ""},
        FailedRunCase{"CpuLimitLeftTemporaryFiles",
                      {"SIGXCPU", "write", "in.fa.iik", 1000},
                      KilledBy(SIGXCPU),
                      ""},
        FailedRunCase{
            "AlarmLeftTemporaryFiles", {"SIGALRM", "read", "in.fa", 300000}, KilledBy(SIGALRM), ""},
        FailedRunCase{"VirtualAlarmLeftTemporaryFiles",
                      {"SIGVTALRM", "write", "in.fa.freq", 0},
                      KilledBy(SIGVTALRM),
                      ""},
        FailedRunCase{"ProfilingAlarmLeftTemporaryFiles",
                      {"SIGPROF", "write", "in.fa.ok", 0},
                      KilledBy(SIGPROF),
                      ""},
        FailedRunCase{"User1LeftTemporaryFiles",
                      {"SIGUSR1", "write", "in.fa.freq", 1000000},
                      KilledBy(SIGUSR1),
                      ""},
        FailedRunCase{
            "User2LeftTemporaryFiles", {"SIGUSR2", "read", "in.fa", 100000}, KilledBy(SIGUSR2), ""},
        // With --sync each report is written to the disk before it is moved to its name.
        FailedRunCase{"SyncErrorOnScoreReport",
                      {"EIO", "fsync", "in.fa.ok", 0},
                      kFailed,
                      "Error writing file: in.fa.ok (Input/output error)\n",
                      {"--sync"}},
        // Regression: a run that read no input whole replaced the table and summary of the
        // run before with their headers (the table's rows had gone to it as they came, and
        // were cut back).
        FailedRunCase{"ReadErrorKeepsTheEarlierTableAndSummary",
                      {"EIO", "read", "in.fa", 300000},
                      kFailed,
                      "Error reading file: in.fa (Input/output error)\n"
                      "Trelba: no input was read whole: s.tsv and t.tsv are left as they were\n",
                      {"-j", "2", "-T", "t.tsv", "--summary", "s.tsv"},
                      "4"},
        // Regression: the stores' files went to /tmp whatever TMPDIR said, and a full /tmp
        // was told as an error writing the table, which was then replaced by its header.
        // The temporary folder is named; every output stays as it was.
        FailedRunCase{"FullTemporaryFolderWhileRowsWaitForTheReference",
                      {"ENOSPC", "write", "/spill/", 0},
                      kFailed,
                      "Error writing file: the temporary folder spill (No space left on device)\n",
                      {"-T", "t.tsv", "--reference", "auto"},
                      nullptr,
                      nullptr,
                      "spill"},
        FailedRunCase{"FullTemporaryFolderWhileAWorkerKeepsTheScores",
                      {"ENOSPC", "write", "/spill/", 0},
                      kFailed,
                      "Error writing file: the temporary folder spill (No space left on device)\n",
                      {"-j", "3", "--summary", "s.tsv"},
                      "4",
                      nullptr,
                      "spill"},
        FailedRunCase{"MissingTemporaryFolder",
                      {"", "", "", 0},
                      kFailed,
                      "Error writing file: the temporary folder missing (No such file or "
                      "directory)\n",
                      {"-T", "t.tsv", "--summary", "s.tsv", "--reference", "auto"},
                      nullptr,
                      nullptr,
                      "missing"},
        FailedRunCase{"SmallTmpfsAsTemporaryFolder",
                      {"", "", "", 0},
                      kFailed,
                      "Error writing file: the temporary folder spill (No space left on device)\n",
                      {"-T", "t.tsv", "--summary", "s.tsv", "--reference", "auto"},
                      nullptr,
                      nullptr,
                      "spill",
                      64}),
    [](const auto& test) { return std::string(test.param.name); });

// Regression: a file-size limit used to kill the run with SIGXFSZ and no message.
TEST(FailedRun, FileSizeLimitIsAWriteError) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", Input());
  PlaceEarlierReports(dir.path());
  RunOptions limited;
  limited.file_size_limit = 100000;
  // One thread fills .freq first; with several, whichever report's batch text reaches
  // the limit first is named.
  for (const char* threads : {"1", "3"}) {
    const RunResult run = RunTrelba({"-j", threads, "in.fa"}, dir.path(), limited);
    EXPECT_EQ(run.status, kFailed);
    if (threads == std::string("1")) {
      EXPECT_EQ(run.err, "Error writing file: in.fa.freq (File too large)\n");
    } else {
      EXPECT_EQ(run.err.substr(0, 26), "Error writing file: in.fa.") << run.err;
      EXPECT_TRUE(run.err.ends_with(" (File too large)\n")) << run.err;
    }
    ExpectEarlierReportsUnchanged(dir.path());
    EXPECT_TRUE(LeftoverTemporaryFiles(dir.path()).empty());
  }
}

// Regression guard: a write failure met by a worker thread ends the run with the error,
// and the table is not put in place.
TEST(FailedRun, FullDiskSeenByAWorkerThread) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", Input());
  PlaceEarlierReports(dir.path());
  const RunResult run = RunTrelba({"-j", "3", "-T", "in.tsv", "in.fa"}, dir.path(),
                                  Injecting({"ENOSPC", "write", "in.tsv", 50000}));
  EXPECT_EQ(run.status, kFailed);
  EXPECT_EQ(run.err, "Error writing file: in.tsv (No space left on device)\n");
  ExpectEarlierReportsUnchanged(dir.path());
  EXPECT_FALSE(std::filesystem::exists(dir / "in.tsv"));
  EXPECT_TRUE(LeftoverTemporaryFiles(dir.path()).empty());
}

// A run that fails as its last report is moved into place leaves no report where there
// was none.
// Regression: memory running out on a pipeline thread ended the process (std::terminate,
// status 134) and left its temporary files. Wherever it runs out, the input fails and the
// line says why.
TEST(FailedRun, MemoryRunningOutAnywhereFailsTheInput) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", Input());
  int failed = 0;
  for (int budget = 1000; budget <= 7000; budget += 50) {
    for (const char* threads : {"1", "3"}) {
      PlaceEarlierReports(dir.path());
      RunOptions options = Injecting({"BUDGET", "", "", 0});
      options.environment.back().second = std::to_string(budget) + "000";
      const RunResult run = RunTrelba(
          {"-j", threads, "--summary", "s.tsv", "--report", "r.html", "-T", "t.tsv", "--background",
           "input", "--reference", "auto", "--codon-usage", "u.tsv", "in.fa"},
          dir.path(), options);
      if (run.status == 0) continue;
      ++failed;
      EXPECT_EQ(run.status, kFailed) << budget << " kB, -j " << threads;
      EXPECT_EQ(LeftoverTemporaryFiles(dir.path()), std::vector<std::string>{});
      // The input, or (its reports in place) the HTML report drawn after them, or both; then
      // that nothing replaced the run's outputs, unless memory ran out for that line too.
      if (run.err == "Error writing file: r.html (out of memory)\n") continue;
      std::string err = run.err;
      const std::string kept =
          "Trelba: no input was read whole: s.tsv, r.html, u.tsv and t.tsv are left as they "
          "were\n";
      if (err.ends_with(kept)) err.resize(err.size() - kept.size());
      if (err !=
          "Error reading file: in.fa (out of memory)\nError writing file: r.html (out of "
          "memory)\n") {
        EXPECT_EQ(err, "Error reading file: in.fa (out of memory)\n")
            << budget << " kB, -j " << threads;
      }
      ExpectEarlierReportsUnchanged(dir.path());
    }
  }
  EXPECT_GT(failed, 4);
}

// Regression: a table on standard output that could not be written was named "-", once
// for every input left.
TEST(FailedRun, TableOnStandardOutputIsNamedOnce) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", Input());
  RunOptions options = Injecting({"EIO", "write", "captured.tsv", 0});
  options.output_appended_to = "captured.tsv";
  const RunResult run =
      RunTrelba({"-T", "-", "--no-reports", "in.fa", "in.fa", "in.fa"}, dir.path(), options);
  EXPECT_EQ(run.status, kFailed);
  EXPECT_EQ(run.err, "Error writing file: standard output (Input/output error)\n");
}

TEST(FailedRun, RenameErrorLeavesNoNewReport) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", Input());
  const RunResult run =
      RunTrelba({"in.fa"}, dir.path(), Injecting({"EIO", "rename", "in.fa.freq", 0}));
  EXPECT_EQ(run.status, kFailed);
  EXPECT_EQ(run.err, "Error writing file: in.fa.freq (Input/output error)\n");
  for (const char* suffix : kReportSuffixes) {
    EXPECT_FALSE(std::filesystem::exists(dir / (std::string("in.fa") + suffix))) << suffix;
  }
  EXPECT_EQ(LeftoverTemporaryFiles(dir.path()), std::vector<std::string>{});
}

// On a file system that cannot exchange two names, or that has no hard links to keep the
// earlier file by, the reports are still replaced whole.
struct FileSystemLack {
  const char* label;
  Fault fault;
  bool no_hard_links;
};

void PrintTo(const FileSystemLack& lack, std::ostream* os) {
  *os << lack.label;
}

class CommitWithout : public ::testing::TestWithParam<FileSystemLack> {};

TEST_P(CommitWithout, StillReplacesTheReports) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", Input());
  PlaceEarlierReports(dir.path());
  RunOptions options = Injecting(GetParam().fault);
  if (GetParam().no_hard_links) options.environment.emplace_back("TRELBA_NO_HARD_LINKS", "1");
  const RunResult run = RunTrelba({"in.fa"}, dir.path(), options);
  ASSERT_EQ(run.status, 0) << run.err;
  const ReportTexts expected = AnalyseText(Input(), "0");
  EXPECT_TRUE(ReadFile(dir / "in.fa.iik") == expected.order);
  EXPECT_TRUE(ReadFile(dir / "in.fa.ok") == expected.scores);
  EXPECT_TRUE(ReadFile(dir / "in.fa.freq") == expected.counts);
  EXPECT_EQ(LeftoverTemporaryFiles(dir.path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    FileSystem, CommitWithout,
    ::testing::Values(FileSystemLack{"Exchange", {"NOEXCHANGE", "", "", 0}, false},
                      FileSystemLack{"HardLinks", {"", "", "", 0}, true}),
    [](const auto& test) { return std::string(test.param.label); });

// Regression: a signal between the commit of the reports and that of the table and summary
// (here while the summary is written) left new reports beside the earlier table; the
// outputs of a run of one input are replaced together (the signal waits, then ends it).
TEST(Commit, SignalAfterTheReportsStillReplacesTheTableWithThem) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", Input());
  PlaceEarlierReports(dir.path());
  WriteFile(dir / "t.tsv", "earlier table\n");
  ASSERT_EQ(RunTrelba({"-T", "new.tsv", "-o", "new", "in.fa"}, dir.path()).status, 0);
  const RunResult run = RunTrelba({"-T", "t.tsv", "--summary", "s.tsv", "in.fa"}, dir.path(),
                                  Injecting({"SIGTERM", "write", "s.tsv", 0}));
  EXPECT_EQ(run.status, KilledBy(SIGTERM));
  EXPECT_TRUE(ReadFile(dir / "t.tsv") == ReadFile(dir / "new.tsv"));
  EXPECT_TRUE(ReadFile(dir / "in.fa.freq") == ReadFile(dir / "new.freq"));
  EXPECT_EQ(LeftoverTemporaryFiles(dir.path()), std::vector<std::string>{});
}

// Interrupted and short transfers are retried: the reports come out exactly right.
class RetriedTransfer : public ::testing::TestWithParam<Fault> {};

TEST_P(RetriedTransfer, GivesExactReports) {
  const Fault& fault = GetParam();
  ScratchDir dir;
  WriteFile(dir / "in.fa", Input());
  PlaceEarlierReports(dir.path());
  const RunResult run = RunTrelba({"in.fa"}, dir.path(), Injecting(fault));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const ReportTexts expected = AnalyseText(Input(), "0");
  EXPECT_TRUE(ReadFile(dir / "in.fa.iik") == expected.order);
  EXPECT_TRUE(ReadFile(dir / "in.fa.ok") == expected.scores);
  EXPECT_TRUE(ReadFile(dir / "in.fa.freq") == expected.counts);
  EXPECT_EQ(LeftoverTemporaryFiles(dir.path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Table, RetriedTransfer,
                         ::testing::Values(Fault{"EINTR", "read", "in.fa", 0},
                                           Fault{"SHORT", "read", "in.fa", 1000},
                                           Fault{"EINTR", "write", "in.fa.iik", 0},
                                           Fault{"SHORT", "write", "in.fa.iik", 0},
                                           Fault{"EINTR", "write", "in.fa.ok", 0},
                                           Fault{"SHORT", "write", "in.fa.ok", 0},
                                           Fault{"EINTR", "write", "in.fa.freq", 100},
                                           Fault{"SHORT", "write", "in.fa.freq", 100},
                                           // Ignored, so that a file-size limit is an error.
                                           Fault{"SIGXFSZ", "write", "in.fa.freq", 100000}),
                         [](const auto& test) {
                           std::string name = std::string(test.param.kind) + "_" + test.param.call +
                                              "_" + test.param.path;
                           for (char& c : name) {
                             if (c == '.') c = '_';
                           }
                           return name;
                         });

// The input is `work/in.fa`; the run starts in the folder above it and, at the fault,
// `work` (or `out`, the folder of -o out/) is renamed.
struct MovedFolderCase {
  const char* name;
  std::vector<std::string> args;
  Fault fault;
  const char* from;
  const char* to;
  int status;
  bool replaced;  // the reports are the run's (else the earlier ones, unchanged)
};

void PrintTo(const MovedFolderCase& c, std::ostream* os) {
  *os << c.name;
}

class MovedFolder : public ::testing::TestWithParam<MovedFolderCase> {};

// Regression: renaming the folder during a run left the temporary files in it, the commit
// and the clean-up looking for them under the old name. Now the folder is held open: a run
// that ends well puts its reports in the renamed folder; one that fails or is stopped
// leaves the earlier reports there, and no temporary file.
TEST_P(MovedFolder, LeavesNoTemporaryFiles) {
  const MovedFolderCase& c = GetParam();
  ScratchDir dir;
  std::filesystem::create_directory(dir / "work");
  std::filesystem::create_directory(dir / "out");
  WriteFile(dir / "work" / "in.fa", Input());
  const std::filesystem::path reports = dir / (c.args.size() > 1 ? "out" : "work");
  PlaceEarlierReports(reports);
  RunOptions options = Injecting(c.fault);
  options.environment.emplace_back("TRELBA_FAULT_MOVE_FROM", c.from);
  options.environment.emplace_back("TRELBA_FAULT_MOVE_TO", c.to);
  const RunResult run = RunTrelba(c.args, dir.path(), options);
  EXPECT_EQ(run.status, c.status) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir / c.from));
  const std::filesystem::path moved = dir / c.to;
  EXPECT_EQ(LeftoverTemporaryFiles(moved), std::vector<std::string>{});
  if (c.replaced) {
    const ReportTexts expected = AnalyseText(Input(), "0");
    EXPECT_TRUE(ReadFile(moved / "in.fa.iik") == expected.order);
    EXPECT_TRUE(ReadFile(moved / "in.fa.ok") == expected.scores);
    EXPECT_TRUE(ReadFile(moved / "in.fa.freq") == expected.counts);
  } else {
    for (const char* suffix : kReportSuffixes) {
      EXPECT_EQ(ReadFile(moved / (std::string("in.fa") + suffix)),
                std::string("earlier ") + suffix + "\n");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MovedFolder,
    ::testing::Values(MovedFolderCase{"RenamedFolderLeftTemporaryFiles",
                                      {"work/in.fa"},
                                      {"MOVE", "write", "in.fa.freq", 300000},
                                      "work",
                                      "moved",
                                      0,
                                      true},
                      MovedFolderCase{"RenamedOutputFolderLeftTemporaryFiles",
                                      {"-o", "out/", "work/in.fa"},
                                      {"MOVE", "write", "in.fa.iik", 1000},
                                      "out",
                                      "moved",
                                      0,
                                      true},
                      MovedFolderCase{"RenamedFolderThenFullDiskLeftTemporaryFiles",
                                      {"work/in.fa"},
                                      {"ENOSPC", "write", "in.fa.freq", 300000},
                                      "work",
                                      "moved",
                                      kFailed,
                                      false},
                      MovedFolderCase{"RenamedFolderThenSignalLeftTemporaryFiles",
                                      {"work/in.fa"},
                                      {"SIGTERM", "write", "in.fa.freq", 300000},
                                      "work",
                                      "moved",
                                      KilledBy(SIGTERM),
                                      false}),
    [](const auto& test) { return std::string(test.param.name); });

// A name planted beside the reports before the run that follows a killed one, and
// whether that run removes it. DEAD stands for the killed run's process number, LIVE for
// this test's.
struct PlantedName {
  std::string name;
  bool removed;
};

struct InputName {
  const char* label;
  std::string name;
};

void PrintTo(const InputName& input, std::ostream* os) {
  *os << input.label;
}

// Regression: a run killed outright (SIGKILL) left its temporary files for ever. The next
// run of the same reports removes those of gone processes, and nothing else.
class StaleTemporaries : public ::testing::TestWithParam<InputName> {};

TEST_P(StaleTemporaries, KilledRunsFilesAreRemovedByTheNext) {
  const std::string input = GetParam().name;
  ScratchDir dir;
  WriteFile(dir / input, Input());
  RunOptions killing = Injecting({"SIGKILL", "write", "", 300000});
  const StartedRun killed = StartTrelba({input}, dir.path(), killing);
  ASSERT_EQ(FinishTrelba(killed).status, KilledBy(SIGKILL));
  ASSERT_EQ(LeftoverTemporaryFiles(dir.path()).size(), 3u);

  const auto dead = static_cast<unsigned long>(killed.pid);
  const auto live = static_cast<unsigned long>(::getpid());
  const std::string ok = input + ".ok";
  std::string sibling = ok;  // another report of the same first bytes
  sibling.back() = 'x';
  std::vector<PlantedName> planted = {
      {TemporaryBaseName(ok, dead, "Abc123"), true},
      {TemporaryBaseName(ok, live, "Abc123"), false},
      {TemporaryBaseName(sibling, dead, "Abc123"), false},
      {TemporaryBaseName("other.fa.ok", dead, "Abc123"), false},
      {"." + ok + ".Abc123.tmp", false},  // no process number (earlier versions)
      {"." + ok + ".0" + std::to_string(dead) + ".Abc123.tmp", false},
      {"." + ok + "." + std::to_string(dead) + ".Abc12.tmp", false},
      {"." + ok + "." + std::to_string(dead) + ".Abc-12.tmp", false},
      {"." + ok + "." + std::to_string(dead) + ".Abc123.tmp.tmp", false},
  };
  // Near misses too long for a name are no files of a long input's.
  std::erase_if(planted, [](const PlantedName& p) { return p.name.size() > 255; });
  for (const PlantedName& p : planted) WriteFile(dir / p.name, "planted\n");
  const std::string folder_name = TemporaryBaseName(input + ".iik", dead, "Abc123");
  std::filesystem::create_directory(dir / folder_name);

  const RunResult run = RunTrelba({input}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  for (const PlantedName& p : planted) {
    EXPECT_EQ(std::filesystem::exists(dir / p.name), !p.removed) << p.name;
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir / folder_name));
  std::vector<std::string> left = LeftoverTemporaryFiles(dir.path());
  std::erase_if(left, [&](const std::string& name) {
    return name == folder_name ||
           std::any_of(planted.begin(), planted.end(), [&](auto& p) { return p.name == name; });
  });
  EXPECT_EQ(left, std::vector<std::string>{}) << "the killed run's own files";
}

// A short name, and one whose reports' temporary names are cut (see LongReportName).
INSTANTIATE_TEST_SUITE_P(Table, StaleTemporaries,
                         ::testing::Values(InputName{"ShortName", "in.fa"},
                                           InputName{"LongName", std::string(240, 'g') + ".fa"}),
                         [](const auto& test) { return std::string(test.param.label); });

// The order of the calls that write to the disk, from the shim's log: each temporary file
// synced, then the renames, then the folder synced once; without --sync no call at all.
std::vector<std::string> DiskCalls(const std::string& log, const std::filesystem::path& dir) {
  std::vector<std::string> calls;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("rename ")) {
      calls.push_back("rename");
    } else if (line == "fsync " + dir.string()) {
      calls.push_back("sync folder");
    } else {
      calls.push_back(line.ends_with(".tmp") ? "sync temporary" : line);
    }
  }
  return calls;
}

// Regression: nothing was written to the disk, so that after a power loss new reports
// could be empty or lost while the run had ended well.
TEST(Sync, WritesEachReportThenTheFolderToTheDisk) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", Input());
  PlaceEarlierReports(dir.path());
  const std::filesystem::path folder = std::filesystem::canonical(dir.path());
  for (const bool sync : {false, true}) {
    RunOptions logging;
    logging.inject_faults = true;
    logging.environment = {{"TRELBA_FAULT_LOG", (dir / "log").string()}};
    std::vector<std::string> args = {"in.fa"};
    if (sync) args.insert(args.begin(), "--sync");
    std::filesystem::remove(dir / "log");
    const RunResult run = RunTrelba(args, dir.path(), logging);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> unsynced = {"rename", "rename", "rename"};
    const std::vector<std::string> synced = {"sync temporary", "sync temporary", "sync temporary",
                                             "rename",         "rename",         "rename",
                                             "sync folder"};
    EXPECT_EQ(DiskCalls(ReadFile(dir / "log"), folder), sync ? synced : unsynced);
  }
  const ReportTexts expected = AnalyseText(Input(), "0");
  EXPECT_TRUE(ReadFile(dir / "in.fa.freq") == expected.counts);
  EXPECT_EQ(LeftoverTemporaryFiles(dir.path()), std::vector<std::string>{});
}

}  // namespace
}  // namespace trelba::test
