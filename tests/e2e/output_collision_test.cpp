// No output of a run overwrites another output, the input, or the file standard output
// writes; a named output that is a stream is written straight through, and a closed
// standard stream is an error rather than an empty input or a lost table.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <future>
#include <map>
#include <string>
#include <vector>

#include "run_tool.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

const std::string kInput = ">a\nATGTTTAAAGGG\n>b\nATGCCCCCG\n";

// Every file of the folder and its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.is_regular_file()) files[entry.path().filename().string()] = ReadFile(entry.path());
  }
  return files;
}

struct CollisionCase {
  const char* name;
  std::vector<std::string> args;
  std::string err;
  const char* stdout_into = nullptr;  // standard output appended to this file
};

void PrintTo(const CollisionCase& c, std::ostream* os) {
  *os << c.name;
}

class OutputCollision : public ::testing::TestWithParam<CollisionCase> {};

// Regression: outputs were checked against the input only; the table took a report's
// name (or standard output the input's) and the run said nothing.
TEST_P(OutputCollision, IsAnOpeningErrorNamingBothWithNothingChanged) {
  const CollisionCase& c = GetParam();
  ScratchDir dir;
  WriteFile(dir / "in.fa", kInput);
  for (const char* earlier : {"in.fa.iik", "in.fa.ok", "in.fa.freq", "out.ok", "t.tsv"}) {
    WriteFile(dir / earlier, std::string("earlier ") + earlier + "\n");
  }
  const auto before = Snapshot(dir.path());
  RunOptions options;
  if (c.stdout_into != nullptr) options.output_appended_to = c.stdout_into;
  const RunResult run = RunTrelba(c.args, dir.path(), options);
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.err, c.err);
  EXPECT_EQ(Snapshot(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OutputCollision,
    ::testing::Values(
        CollisionCase{"TableNamedAsAReport",
                      {"-T", "in.fa.ok", "in.fa"},
                      "Error opening file: in.fa.ok (the same file as the report in.fa.ok)\n"},
        CollisionCase{"TableSpeltOtherwiseUnderAPrefix",
                      {"-T", "./out.ok", "-o", "out", "in.fa"},
                      "Error opening file: ./out.ok (the same file as the report out.ok)\n"},
        CollisionCase{"SummaryNamedAsAReport",
                      {"--summary", "in.fa.freq", "in.fa"},
                      "Error opening file: in.fa.freq (the same file as the report in.fa.freq)\n"},
        CollisionCase{"TableAndSummaryOneFile",
                      {"-T", "t.tsv", "--summary", "./t.tsv", "--no-reports", "in.fa"},
                      "Error opening file: ./t.tsv (the same file as the table t.tsv)\n"},
        CollisionCase{"HtmlReportNamedAsTheTable",
                      {"-T", "t.tsv", "--report", "./t.tsv", "--no-reports", "in.fa"},
                      "Error opening file: ./t.tsv (the same file as the table t.tsv)\n"},
        CollisionCase{"HtmlReportIsTheInput",
                      {"--report", "in.fa", "--no-reports", "in.fa"},
                      "Error opening file: in.fa (the same file as the input in.fa)\n"},
        CollisionCase{"InputGivenTwice",
                      {"in.fa", "in.fa"},
                      "Error opening file: in.fa.iik (the same file as the report in.fa.iik)\n"},
        CollisionCase{"StandardOutputIsTheInput",
                      {"-T", "-", "--no-reports", "in.fa"},
                      "Error opening file: standard output (the same file as the input in.fa)\n",
                      "in.fa"},
        CollisionCase{"StandardOutputIsAReport",
                      {"-T", "-", "in.fa"},
                      "Error opening file: standard output (the same file as the report "
                      "in.fa.ok)\n",
                      "in.fa.ok"}),
    [](const auto& test) { return std::string(test.param.name); });

// Regression: a named output that is no regular file was refused ("Error opening file"),
// so that -T /dev/null and a workflow's pipe() failed.
TEST(StreamOutput, DevicesAndFifosAreWrittenThrough) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", kInput);
  ASSERT_EQ(RunTrelba({"-T", "t.tsv", "in.fa"}, dir.path()).status, 0);
  const std::string table = ReadFile(dir / "t.tsv");

  const RunResult null =
      RunTrelba({"-T", "/dev/null", "--summary", "/dev/null", "in.fa"}, dir.path());
  EXPECT_EQ(null.status, 0) << null.err;

  ASSERT_EQ(::mkfifo((dir / "t.fifo").c_str(), 0600), 0);
  fs::create_symlink("t.fifo", dir / "link.tsv");
  for (const char* name : {"t.fifo", "link.tsv"}) {
    auto read = std::async(std::launch::async, [&] { return ReadFile(dir / "t.fifo"); });
    const RunResult run = RunTrelba({"-T", name, "--no-reports", "in.fa"}, dir.path());
    EXPECT_EQ(run.status, 0) << name << ": " << run.err;
    EXPECT_EQ(read.get(), table) << name;
  }
  EXPECT_TRUE(fs::is_symlink(dir / "link.tsv"));
  EXPECT_TRUE(fs::is_fifo(dir / "t.fifo"));
}

// Regression: a closed standard stream was put on /dev/null without a word: an empty
// input replaced the earlier reports, the table was thrown away, both with status 0.
TEST(ClosedStream, IsAnErrorThatSaysSo) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", kInput);
  WriteFile(dir / "cl.ok", "earlier\n");
  RunOptions closed_input;
  closed_input.close_input = true;
  const RunResult read = RunTrelba({"-o", "cl", "-"}, dir.path(), closed_input);
  EXPECT_EQ(read.status, 255);
  EXPECT_EQ(read.err, "Error opening file: standard input (it is closed)\n");
  EXPECT_EQ(ReadFile(dir / "cl.ok"), "earlier\n");

  RunOptions closed_output;
  closed_output.close_output = true;  // standard error too: only the status is seen
  EXPECT_EQ(RunTrelba({"-T", "-", "in.fa"}, dir.path(), closed_output).status, 255);
  EXPECT_FALSE(fs::exists(dir / "in.fa.ok"));
}

}  // namespace
}  // namespace trelba::test
