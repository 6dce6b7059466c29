// The command line, the error messages and exit statuses, and which files a run leaves.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "run_tool.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

constexpr int kFailed = 255;  // -1 to the shell
const char kUsage[] =
    "Parameter missing.\n"
    "Usage: Trelba filename [genetic_code_number]\n";

struct CommandCase {
  const char* name;
  std::function<void(const fs::path&)> setup;
  std::vector<std::string> args;
  int status;
  std::string out;
  std::string err;
  std::vector<std::string> files_after;  // report files present afterwards
};

void PrintTo(const CommandCase& c, std::ostream* os) {
  *os << c.name;
}

void Nothing(const fs::path&) {}
void SmallInput(const fs::path& dir) {
  WriteFile(dir / "in.fa", ">a\nATGTTT\n");
}

// The small input, with a folder standing where the report `name` would be created.
std::function<void(const fs::path&)> BlockedBy(std::string name) {
  return [name](const fs::path& dir) {
    SmallInput(dir);
    fs::create_directory(dir / name);
  };
}

class CommandCases : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandCases, StatusMessagesAndFiles) {
  const CommandCase& c = GetParam();
  ScratchDir dir;
  c.setup(dir.path());
  const RunResult run = RunTrelba(c.args, dir.path());
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(run.out, c.out);
  EXPECT_EQ(run.err, c.err);
  std::vector<std::string> reports;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    for (const char* suffix : {".iik", ".ok", ".freq"}) {
      if (name.size() > 4 && name.ends_with(suffix) && fs::is_regular_file(entry)) {
        reports.push_back(name);
      }
    }
  }
  std::sort(reports.begin(), reports.end());
  EXPECT_EQ(reports, c.files_after);
  EXPECT_EQ(LeftoverTemporaryFiles(dir.path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandCases,
    ::testing::Values(CommandCase{"NoArgument", Nothing, {}, kFailed, kUsage, "", {}},
                      CommandCase{"MissingFile",
                                  Nothing,
                                  {"no such.fa"},
                                  kFailed,
                                  "",
                                  "Error opening file: no such.fa\n"
                                  "Trelba: no such.fa: No such file or directory\n",
                                  {}},
                      CommandCase{"MissingFileInFolder",
                                  Nothing,
                                  {"./sub/genes.fa"},
                                  kFailed,
                                  "",
                                  "Error opening file: ./sub/genes.fa\n"
                                  "Trelba: ./sub/genes.fa: No such file or directory\n",
                                  {}},
                      // Regression: a directory used to give an empty, successful run. The
                      // cause follows the line scripts match on one of its own (regression:
                      // it was not said).
                      CommandCase{"InputIsADirectory",
                                  [](const fs::path& d) { fs::create_directory(d / "dir.fa"); },
                                  {"dir.fa"},
                                  kFailed,
                                  "",
                                  "Error opening file: dir.fa\nTrelba: dir.fa: Is a directory\n",
                                  {}},
                      // Regression: a report that cannot be created used to be lost without a
                      // word, and then to leave the reports before it written.
                      CommandCase{"ScoreReportBlockedByFolder",
                                  BlockedBy("in.fa.ok"),
                                  {"in.fa"},
                                  kFailed,
                                  "",
                                  "Error opening file: in.fa.ok (Is a directory)\n",
                                  {}},
                      CommandCase{"CountReportBlockedByFolder",
                                  BlockedBy("in.fa.freq"),
                                  {"in.fa"},
                                  kFailed,
                                  "",
                                  "Error opening file: in.fa.freq (Is a directory)\n",
                                  {}},
                      CommandCase{"ThreeArgumentsLastIgnored",
                                  SmallInput,
                                  {"in.fa", "2", "extra"},
                                  0,
                                  "",
                                  "Warning: arguments after the genetic code are not read: "
                                  "'extra'\n",
                                  {"in.fa.freq", "in.fa.iik", "in.fa.ok"}},
                      CommandCase{"FileNameWithSpacesAndAccents",
                                  [](const fs::path& d) {
                                    WriteFile(d / "gènes de souris.fa", ">a\nATG\n");
                                  },
                                  {"gènes de souris.fa"},
                                  0,
                                  "",
                                  "",
                                  {"gènes de souris.fa.freq", "gènes de souris.fa.iik",
                                   "gènes de souris.fa.ok"}}),
    [](const auto& test) { return std::string(test.param.name); });

struct ContentCase {
  const char* name;
  std::string input;
  std::string freq;
  std::string iik;
  std::string ok;
};

void PrintTo(const ContentCase& c, std::ostream* os) {
  *os << c.name;
}

class ContentCases : public ::testing::TestWithParam<ContentCase> {};

TEST_P(ContentCases, ReportsHold) {
  const ContentCase& c = GetParam();
  ScratchDir dir;
  WriteFile(dir / "in.fa", c.input);
  const RunResult run = RunTrelba({"in.fa"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(dir / "in.fa.freq"), c.freq);
  EXPECT_EQ(ReadFile(dir / "in.fa.iik"), c.iik);
  EXPECT_EQ(ReadFile(dir / "in.fa.ok"), c.ok);
}

const std::string kEmptyBlockFreq = [] {
  std::string block;
  const char rna[] = "UCAG";
  for (int a = 0; a < 4; ++a) {
    for (int c = 0; c < 4; ++c) {
      block += "sequence#0000001";
      for (int b = 0; b < 4; ++b) {
        block += std::string(b == 0 ? " " : "\t") + rna[a] + rna[b] + rna[c] + "\t0";
      }
      block += "\n";
    }
  }
  return block + "\n\n";
}();
const std::string kEmptyBlockIik =
    "1 1\n2 1\n3 1\n4 1\n5 0\n6 1\n7 0\n8 1\n9 1\n10 1\n11 1\n12 1\n13 0\n14 1\n15 1\n16 1\n"
    "17 1\n18 1\n19 1\n20 1\n21 1\n\n";

INSTANTIATE_TEST_SUITE_P(
    Table, ContentCases,
    ::testing::Values(ContentCase{"EmptyFile", "", "", "", "\naverage = nan\n"},
                      ContentCase{"NoHeader", "ATGAAATTTCCC\n", "", "", "\naverage = nan\n"},
                      ContentCase{"OnlyAHeader", ">lonely", kEmptyBlockFreq, kEmptyBlockIik,
                                  "\naverage = nan\n"},
                      ContentCase{"HeaderThenNothingButWhitespace", ">a\n\n \r\n", kEmptyBlockFreq,
                                  kEmptyBlockIik, "\naverage = nan\n"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(CommandLine, ExistingReportsAreEmptiedAndRewritten) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", "");
  WriteFile(dir / "in.fa.freq", std::string(10000, 'x'));
  WriteFile(dir / "in.fa.iik", "old");
  ASSERT_EQ(RunTrelba({"in.fa"}, dir.path()).status, 0);
  EXPECT_EQ(ReadFile(dir / "in.fa.freq"), "");
  EXPECT_EQ(ReadFile(dir / "in.fa.iik"), "");
}

// Regression: a report folder without write permission used to lose all three reports.
TEST(CommandLine, ReadOnlyFolderIsAnError) {
  if (::geteuid() == 0) {
    // root writes anywhere; a read-only folder cannot be tested as root.
    GTEST_SKIP() << "running as root";
  }
  ScratchDir dir;
  fs::create_directory(dir / "ro");
  SmallInput(dir / "ro");
  fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
  const RunResult run = RunTrelba({"ro/in.fa"}, dir.path());
  fs::permissions(dir / "ro", fs::perms::owner_all);
  EXPECT_EQ(run.status, kFailed);
  EXPECT_EQ(run.err, "Error opening file: ro/in.fa.iik (Permission denied)\n");
}

// Regression: a full disk used to be reported as success.
TEST(CommandLine, FullDiskIsAWriteError) {
  ScratchDir dir;
  SmallInput(dir.path());
  RunOptions full_disk;
  full_disk.inject_faults = true;
  full_disk.environment = {
      {"TRELBA_FAULT", "ENOSPC"}, {"TRELBA_FAULT_CALL", "write"}, {"TRELBA_FAULT_PATH", ".freq"}};
  const RunResult run = RunTrelba({"in.fa"}, dir.path(), full_disk);
  EXPECT_EQ(run.status, kFailed);
  EXPECT_EQ(run.err, "Error writing file: in.fa.freq (No space left on device)\n");
  EXPECT_FALSE(fs::exists(dir / "in.fa.freq"));
}

}  // namespace
}  // namespace trelba::test
