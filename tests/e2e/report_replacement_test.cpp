// Reports replace whatever stands at their names only as a whole and never write through
// a link: the input and any file a link leads to stay as they were.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "analyse_text.hpp"
#include "run_tool.hpp"
#include "synthetic_genes.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

constexpr int kFailed = 255;
const std::string kInput = ">a\nATGTTTAAAGGG\n>b\nATGCCCCCG\n";
const std::string kOutside = "a file elsewhere\n";

bool IsRegularFile(const fs::path& path) {
  return fs::is_regular_file(fs::symlink_status(path));
}

// The input is `work/in.fa`; `elsewhere/` is a folder beside `work/`.
struct LinkCase {
  const char* name;
  std::function<void(const fs::path& work)> plant;
  int status;
  std::string err;
  std::function<void(const fs::path& work)> check;
};

void PrintTo(const LinkCase& c, std::ostream* os) {
  *os << c.name;
}

void ExpectReports(const fs::path& work) {
  const ReportTexts expected = AnalyseText(kInput, "0");
  EXPECT_TRUE(IsRegularFile(work / "in.fa.iik"));
  EXPECT_TRUE(IsRegularFile(work / "in.fa.ok"));
  EXPECT_TRUE(IsRegularFile(work / "in.fa.freq"));
  EXPECT_EQ(ReadFile(work / "in.fa.iik"), expected.order);
  EXPECT_EQ(ReadFile(work / "in.fa.ok"), expected.scores);
  EXPECT_EQ(ReadFile(work / "in.fa.freq"), expected.counts);
}

void ExpectNoReports(const fs::path& work) {
  EXPECT_FALSE(fs::exists(fs::symlink_status(work / "in.fa.iik")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(work / "in.fa.ok")));
}

class LinkAtReportName : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkAtReportName, NeverWritesThroughIt) {
  const LinkCase& c = GetParam();
  ScratchDir dir;
  const fs::path work = dir / "work";
  fs::create_directory(work);
  fs::create_directory(dir / "elsewhere");
  WriteFile(work / "in.fa", kInput);
  WriteFile(dir / "elsewhere" / "file", kOutside);
  c.plant(work);
  RunOptions options;
  options.alarm_seconds = 60;  // a run that hangs ends, and fails the test
  const RunResult run = RunTrelba({"in.fa"}, work, options);
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(run.err, c.err);
  EXPECT_EQ(ReadFile(work / "in.fa"), kInput);
  EXPECT_EQ(ReadFile(dir / "elsewhere" / "file"), kOutside);
  EXPECT_EQ(LeftoverTemporaryFiles(work), std::vector<std::string>{});
  c.check(work);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LinkAtReportName,
    ::testing::Values(
        // Regression: the score report was written through the link, into the input.
        LinkCase{"SymlinkToInputOverwroteInput",
                 [](const fs::path& w) { fs::create_symlink("in.fa", w / "in.fa.ok"); }, 0, "",
                 ExpectReports},
        LinkCase{"SymlinksToInputAtEveryReport",
                 [](const fs::path& w) {
                   for (const char* s : {".iik", ".ok", ".freq"}) {
                     fs::create_symlink(fs::absolute(w / "in.fa"), w / ("in.fa" + std::string(s)));
                   }
                 },
                 0, "", ExpectReports},
        // Regression: a hard link is the input itself under another name.
        LinkCase{"HardLinkToInputOverwroteInput",
                 [](const fs::path& w) { fs::create_hard_link(w / "in.fa", w / "in.fa.freq"); },
                 kFailed, "Error opening file: in.fa.freq (the same file as the input in.fa)\n",
                 [](const fs::path& w) {
                   ExpectNoReports(w);
                   EXPECT_EQ(fs::hard_link_count(w / "in.fa"), 2u);
                 }},
        LinkCase{"HardLinkToInputAtFirstReport",
                 [](const fs::path& w) { fs::create_hard_link(w / "in.fa", w / "in.fa.iik"); },
                 kFailed, "Error opening file: in.fa.iik (the same file as the input in.fa)\n",
                 [](const fs::path& w) {
                   EXPECT_FALSE(fs::exists(w / "in.fa.ok"));
                   EXPECT_FALSE(fs::exists(w / "in.fa.freq"));
                 }},
        // Regression: a planted link made the run overwrite the file it leads to.
        LinkCase{
            "SymlinkToOutsideFileWasFollowed",
            [](const fs::path& w) { fs::create_symlink("../elsewhere/file", w / "in.fa.iik"); }, 0,
            "", ExpectReports},
        // Regression: a dangling link made the run create a file outside the folder.
        LinkCase{
            "DanglingSymlinkCreatedFileOutside",
            [](const fs::path& w) { fs::create_symlink("../elsewhere/new", w / "in.fa.freq"); }, 0,
            "",
            [](const fs::path& w) {
              ExpectReports(w);
              EXPECT_FALSE(fs::exists(w / ".." / "elsewhere" / "new"));
            }},
        LinkCase{
            "SymlinkToFolder",
            [](const fs::path& w) { fs::create_directory_symlink("../elsewhere", w / "in.fa.ok"); },
            0, "", ExpectReports},
        // Regression: opening a FIFO for writing waited for a reader for ever.
        LinkCase{"FifoHungTheRun",
                 [](const fs::path& w) { ASSERT_EQ(::mkfifo((w / "in.fa.ok").c_str(), 0644), 0); },
                 kFailed, "Error opening file: in.fa.ok (not a regular file)\n",
                 [](const fs::path& w) {
                   EXPECT_TRUE(fs::is_fifo(w / "in.fa.ok"));
                   EXPECT_FALSE(fs::exists(w / "in.fa.iik"));
                   EXPECT_FALSE(fs::exists(w / "in.fa.freq"));
                 }}),
    [](const auto& test) { return std::string(test.param.name); });

// Regression: two runs at once on one input wrote into the same files, which ended with
// two average lines and broken order lines. Now each report is one run's whole output.
TEST(ConcurrentRuns, EachReportIsOneRunsWholeOutput) {
  const std::string input = SyntheticGenes(1000, 100);
  const ReportTexts standard = AnalyseText(input, "0");
  const ReportTexts glutamine_stops = AnalyseText(input, "5");
  ScratchDir dir;
  WriteFile(dir / "in.fa", input);
  for (int round = 0; round < 3; ++round) {
    const StartedRun first = StartTrelba({"in.fa", "0"}, dir.path(), {}, "0");
    const StartedRun second = StartTrelba({"in.fa", "5"}, dir.path(), {}, "5");
    const RunResult first_result = FinishTrelba(first);
    const RunResult second_result = FinishTrelba(second);
    EXPECT_EQ(first_result.status, 0) << first_result.err;
    EXPECT_EQ(second_result.status, 0) << second_result.err;
    const std::string iik = ReadFile(dir / "in.fa.iik");
    const std::string ok = ReadFile(dir / "in.fa.ok");
    const std::string freq = ReadFile(dir / "in.fa.freq");
    EXPECT_TRUE(iik == standard.order || iik == glutamine_stops.order) << "round " << round;
    EXPECT_TRUE(ok == standard.scores || ok == glutamine_stops.scores) << "round " << round;
    EXPECT_TRUE(freq == standard.counts) << "round " << round;  // codes do not change counts
    EXPECT_EQ(LeftoverTemporaryFiles(dir.path()), std::vector<std::string>{});
  }
}

// Started with standard output and error closed, a run still writes exactly its reports,
// and a failing one changes nothing. (That descriptors 0 to 2 are reopened on /dev/null,
// so that no message can reach a report, is checked in unit/process_setup_test.cpp.)
TEST(ClosedStandardStreams, NoMessageLandsInAReport) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", kInput);
  RunOptions closed;
  closed.close_output = true;
  ASSERT_EQ(RunTrelba({"in.fa"}, dir.path(), closed).status, 0);
  ExpectReports(dir.path());

  // A failing run (a folder blocks the count report) says nothing and changes nothing.
  const std::string earlier = ReadFile(dir / "in.fa.iik");
  fs::remove(dir / "in.fa.freq");
  fs::create_directory(dir / "in.fa.freq");
  EXPECT_EQ(RunTrelba({"in.fa", "5"}, dir.path(), closed).status, kFailed);
  EXPECT_EQ(ReadFile(dir / "in.fa.iik"), earlier);
  EXPECT_EQ(LeftoverTemporaryFiles(dir.path()), std::vector<std::string>{});
}

struct NameCase {
  const char* label;
  std::string file;
  std::string shown;
};

void PrintTo(const NameCase& c, std::ostream* os) {
  *os << c.label;
}

class NameInMessage : public ::testing::TestWithParam<NameCase> {};

// Regression: a file name holding a newline gave an error message of two lines.
TEST_P(NameInMessage, StaysOnOneLine) {
  const NameCase& c = GetParam();
  ScratchDir dir;
  const RunResult missing = RunTrelba({c.file}, dir.path());
  EXPECT_EQ(missing.status, kFailed);
  EXPECT_EQ(missing.err, "Error opening file: " + c.shown + "\nTrelba: " + c.shown +
                             ": No such file or directory\n");

  WriteFile(dir / c.file, kInput);
  fs::create_directory(dir / (c.file + ".ok"));
  const RunResult blocked = RunTrelba({c.file}, dir.path());
  EXPECT_EQ(blocked.err, "Error opening file: " + c.shown + ".ok (Is a directory)\n");
}

INSTANTIATE_TEST_SUITE_P(Table, NameInMessage,
                         ::testing::Values(NameCase{"Newline", "in\n.fa", "in\\n.fa"},
                                           NameCase{"Tab", "in\t.fa", "in\\t.fa"},
                                           NameCase{"CarriageReturn", "in\r.fa", "in\\r.fa"},
                                           NameCase{"Escape", "in\x1b[31m.fa", "in\\x1b[31m.fa"},
                                           NameCase{"Backslash", "in\\n.fa", "in\\\\n.fa"}),
                         [](const auto& test) { return std::string(test.param.label); });

// New reports are created as before: mode 0666 less the umask.
TEST(NewReports, HaveModeFromUmask) {
  for (const int mask : {022, 027, 0}) {
    ScratchDir dir;
    WriteFile(dir / "in.fa", kInput);
    RunOptions options;
    options.umask = mask;
    ASSERT_EQ(RunTrelba({"in.fa"}, dir.path(), options).status, 0);
    struct stat report {};
    ASSERT_EQ(::stat((dir / "in.fa.ok").c_str(), &report), 0);
    EXPECT_EQ(report.st_mode & 07777, static_cast<unsigned>(0666 & ~mask)) << "umask " << mask;
  }
}

// Regression: a rerun gave every report 0666 less the umask, opening a report kept private
// (chmod 600) to everyone. A replaced report keeps the permission bits of the one it
// replaces; what a link stood for is a new report.
TEST(ReplacedReports, KeepTheirMode) {
  for (const unsigned mode : {0600u, 0640u, 0444u, 0755u}) {
    ScratchDir dir;
    WriteFile(dir / "in.fa", kInput);
    for (const char* suffix : {".iik", ".ok", ".freq"}) {
      const fs::path report = dir / (std::string("in.fa") + suffix);
      WriteFile(report, "earlier\n");
      ASSERT_EQ(::chmod(report.c_str(), mode), 0);
    }
    fs::remove(dir / "in.fa.ok");
    fs::create_symlink("in.fa", dir / "in.fa.ok");
    RunOptions options;
    options.umask = 022;
    ASSERT_EQ(RunTrelba({"in.fa"}, dir.path(), options).status, 0);
    ExpectReports(dir.path());
    struct stat report {};
    for (const char* suffix : {".iik", ".freq", ".ok"}) {
      ASSERT_EQ(::lstat((dir / (std::string("in.fa") + suffix)).c_str(), &report), 0);
      const unsigned expected = suffix == std::string(".ok") ? 0644u : mode;
      EXPECT_EQ(report.st_mode & 07777, expected) << std::oct << mode << " " << suffix;
    }
  }
}

// Regression: a report name of 244 to 255 bytes (which the file system takes) failed with
// "Error opening file", its temporary's name being too long. Such a temporary has a
// shorter name (report_file.hpp); the reports are written and replaced as any others.
class LongReportName : public ::testing::TestWithParam<std::size_t> {};

TEST_P(LongReportName, IsWrittenAndReplaced) {
  // -o PREFIX: PREFIX.freq is the longest of the three names.
  const std::string prefix(GetParam() - std::string(".freq").size(), 'r');
  ScratchDir dir;
  WriteFile(dir / "in.fa", kInput);
  for (const char* code : {"5", "0"}) {  // a new report, then one replaced
    const RunResult run = RunTrelba({"-o", prefix, "in.fa", code}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
  }
  const ReportTexts expected = AnalyseText(kInput, "0");
  EXPECT_EQ(ReadFile(dir / (prefix + ".iik")), expected.order);
  EXPECT_EQ(ReadFile(dir / (prefix + ".ok")), expected.scores);
  EXPECT_EQ(ReadFile(dir / (prefix + ".freq")), expected.counts);
  EXPECT_EQ(LeftoverTemporaryFiles(dir.path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Table, LongReportName, ::testing::Values(243, 244, 250, 255),
                         [](const auto& test) { return std::to_string(test.param) + "Bytes"; });

// No report goes into /dev or /proc, nor below them (/dev/shm, a place for files, excepted),
// whatever name leads there: the folder is told by what it is, not by its name.
struct SystemFolderCase {
  const char* label;
  std::string folder;  // for -o FOLDER/; "link" is a link in the scratch folder to /dev
  bool refused;
  friend void PrintTo(const SystemFolderCase& c, std::ostream* os) { *os << c.label; }
};

class SystemFolder : public ::testing::TestWithParam<SystemFolderCase> {};

TEST_P(SystemFolder, TakesNoReport) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", kInput);
  const SystemFolderCase& c = GetParam();
  fs::create_directory_symlink("/dev", dir / "link");
  std::string folder = c.folder;
  if (folder == "/dev/shm") {
    std::string made = "/dev/shm/trelba-test-XXXXXX";
    if (!fs::is_directory("/dev/shm") || ::mkdtemp(made.data()) == nullptr) {
      GTEST_SKIP() << "no /dev/shm here";
    }
    folder = made;
  }
  const RunResult run = RunTrelba({"-o", folder + "/", "in.fa"}, dir.path());
  if (c.refused) {
    EXPECT_EQ(run.status, kFailed);
    EXPECT_EQ(run.err, "Error opening file: " + folder +
                           "/in.fa.iik (no report is written into /dev or /proc)\n");
  } else {
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(fs::path(folder) / "in.fa.ok"), AnalyseText(kInput, "0").scores);
  }
  if (folder.starts_with("/dev/shm/")) fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Table, SystemFolder,
                         ::testing::Values(SystemFolderCase{"Dev", "/dev", true},
                                           SystemFolderCase{"DevPts", "/dev/pts", true},
                                           SystemFolderCase{"ProcSelf", "/proc/self", true},
                                           SystemFolderCase{"LinkToDev", "link", true},
                                           SystemFolderCase{"SharedMemory", "/dev/shm", false}),
                         [](const auto& test) { return std::string(test.param.label); });

}  // namespace
}  // namespace trelba::test
