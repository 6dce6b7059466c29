// Runs that fail part way (read and write errors, a full disk, a failed close, a file-size
// limit, memory running out, a signal) leave every report exactly as it was before the
// run and no temporary file behind; interrupted and short reads and writes, which a run
// must retry, leave exactly the right reports. The faults come from the preloaded shim of
// tests/fault.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>
#include <vector>

#include "analyse_text.hpp"
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

// Reports left by an earlier run, which a failed run must not touch.
void PlaceEarlierReports(const std::filesystem::path& dir) {
  for (const char* suffix : kReportSuffixes) {
    WriteFile(dir / (std::string("in.fa") + suffix), std::string("earlier ") + suffix + "\n");
  }
}

void ExpectEarlierReportsUnchanged(const std::filesystem::path& dir) {
  for (const char* suffix : kReportSuffixes) {
    EXPECT_EQ(ReadFile(dir / (std::string("in.fa") + suffix)),
              std::string("earlier ") + suffix + "\n")
        << suffix;
  }
  EXPECT_EQ(ReadFile(dir / "in.fa"), Input());
  EXPECT_EQ(LeftoverTemporaryFiles(dir), std::vector<std::string>{});
}

struct FailedRunCase {
  const char* name;
  Fault fault;
  int status;
  std::string err;
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
  WriteFile(dir / "in.fa", Input());
  PlaceEarlierReports(dir.path());
  const RunResult run = RunTrelba({"in.fa"}, dir.path(), Injecting(c.fault));
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(run.err, c.err);
  ExpectEarlierReportsUnchanged(dir.path());
}

INSTANTIATE_TEST_SUITE_P(
    Table, FailedRun,
    ::testing::Values(
        // The input's first block is read as it is opened (to tell whether it is compressed).
        FailedRunCase{"ReadErrorAtStart",
                      {"EIO", "read", "in.fa", 0},
                      kFailed,
                      "Error opening file: in.fa\n"},
        FailedRunCase{"ReadErrorPastFirstBlock",
                      {"EIO", "read", "in.fa", 300000},
                      kFailed,
                      "Error reading file: in.fa\n"},
        FailedRunCase{"FullDiskOnOrderReport",
                      {"ENOSPC", "write", "in.fa.iik", 100000},
                      kFailed,
                      "Error writing file: in.fa.iik\n"},
        FailedRunCase{"FullDiskOnScoreReport",
                      {"ENOSPC", "write", "in.fa.ok", 0},
                      kFailed,
                      "Error writing file: in.fa.ok\n"},
        FailedRunCase{"FullDiskOnCountReport",
                      {"ENOSPC", "write", "in.fa.freq", 1000000},
                      kFailed,
                      "Error writing file: in.fa.freq\n"},
        FailedRunCase{"WriteErrorOnCountReport",
                      {"EIO", "write", "in.fa.freq", 5},
                      kFailed,
                      "Error writing file: in.fa.freq\n"},
        FailedRunCase{"CloseErrorOnScoreReport",
                      {"EIO", "close", "in.fa.ok", 0},
                      kFailed,
                      "Error writing file: in.fa.ok\n"},
        // The reports are moved to their names in the order they were created; when one
        // fails, those moved before it are put back.
        FailedRunCase{"RenameErrorOnFirstReport",
                      {"EIO", "rename", "in.fa.iik", 0},
                      kFailed,
                      "Error writing file: in.fa.iik\n"},
        FailedRunCase{"RenameErrorOnScoreReport",
                      {"EIO", "rename", "in.fa.ok", 0},
                      kFailed,
                      "Error writing file: in.fa.ok\n"},
        FailedRunCase{"RenameErrorOnLastReport",
                      {"ENOSPC", "rename", "in.fa.freq", 0},
                      kFailed,
                      "Error writing file: in.fa.freq\n"},
        // The buffers are had before the input is read: no memory, no input read.
        FailedRunCase{
            "OutOfMemory", {"NOMEM", "", "", 65536}, kFailed, "Error reading file: in.fa\n"},
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
            "TerminateAtLastWrite", {"SIGTERM", "write", "in.fa.ok", 0}, KilledBy(SIGTERM), ""}),
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
      EXPECT_EQ(run.err, "Error writing file: in.fa.freq\n");
    } else {
      EXPECT_EQ(run.err.substr(0, 26), "Error writing file: in.fa.") << run.err;
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
  EXPECT_EQ(run.err, "Error writing file: in.tsv\n");
  ExpectEarlierReportsUnchanged(dir.path());
  EXPECT_FALSE(std::filesystem::exists(dir / "in.tsv"));
  EXPECT_TRUE(LeftoverTemporaryFiles(dir.path()).empty());
}

// A run that fails as its last report is moved into place leaves no report where there
// was none.
TEST(FailedRun, RenameErrorLeavesNoNewReport) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", Input());
  const RunResult run =
      RunTrelba({"in.fa"}, dir.path(), Injecting({"EIO", "rename", "in.fa.freq", 0}));
  EXPECT_EQ(run.status, kFailed);
  EXPECT_EQ(run.err, "Error writing file: in.fa.freq\n");
  for (const char* suffix : kReportSuffixes) {
    EXPECT_FALSE(std::filesystem::exists(dir / (std::string("in.fa") + suffix))) << suffix;
  }
  EXPECT_EQ(LeftoverTemporaryFiles(dir.path()), std::vector<std::string>{});
}

// On a file system that cannot exchange two names the reports are still replaced whole.
TEST(Commit, WithoutExchangeStillReplacesTheReports) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", Input());
  PlaceEarlierReports(dir.path());
  const RunResult run = RunTrelba({"in.fa"}, dir.path(), Injecting({"NOEXCHANGE", "", "", 0}));
  ASSERT_EQ(run.status, 0) << run.err;
  const ReportTexts expected = AnalyseText(Input(), "0");
  EXPECT_TRUE(ReadFile(dir / "in.fa.iik") == expected.order);
  EXPECT_TRUE(ReadFile(dir / "in.fa.ok") == expected.scores);
  EXPECT_TRUE(ReadFile(dir / "in.fa.freq") == expected.counts);
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
                                           Fault{"SHORT", "write", "in.fa.freq", 100}),
                         [](const auto& test) {
                           std::string name = std::string(test.param.kind) + "_" + test.param.call +
                                              "_" + test.param.path;
                           for (char& c : name) {
                             if (c == '.') c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace trelba::test
