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
  WriteFile(dir / "bg.fa", kInput);
  WriteFile(dir / "list.txt", "in.fa\n");
  WriteFile(dir / "list.iik", "in.fa\n");
  fs::create_directory(dir / "sub");
  WriteFile(dir / "sub" / "in.fa", kInput);
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
                      "Error opening file: in.fa.iik (the input in.fa is given twice)\n"},
        CollisionCase{"TwoInputsOfOneNameInAFolder",
                      {"-o", "out/", "in.fa", "sub/in.fa"},
                      "Error opening file: out/in.fa.iik (a report of both the input in.fa and "
                      "the input sub/in.fa)\n"},
        // Regression: the files a run reads besides its inputs were replaced by its outputs.
        CollisionCase{"TableIsTheBackgroundFile",
                      {"--background", "bg.fa", "-T", "bg.fa", "--no-reports", "in.fa"},
                      "Error opening file: bg.fa (the same file as the background file bg.fa)\n"},
        CollisionCase{"HtmlReportIsTheBackgroundFileSpeltOtherwise",
                      {"--background", "./bg.fa", "--report", "bg.fa", "in.fa"},
                      "Error opening file: bg.fa (the same file as the background file ./bg.fa)\n"},
        CollisionCase{"SummaryIsTheListOfInputs",
                      {"--infile-list", "list.txt", "--summary", "list.txt", "--no-reports"},
                      "Error opening file: list.txt (the same file as the list of inputs "
                      "list.txt)\n"},
        CollisionCase{"ReportUnderAPrefixIsTheListOfInputs",
                      {"--infile-list", "list.iik", "-o", "list"},
                      "Error opening file: list.iik (the same file as the list of inputs "
                      "list.iik)\n"},
        // A descriptor's name is the stream it names.
        CollisionCase{"DescriptorNameAndStandardOutput",
                      {"-T", "-", "--summary", "/dev/stdout", "--no-reports", "in.fa"},
                      "Error opening file: /dev/stdout (the same file as the table standard "
                      "output)\n"},
        CollisionCase{"DescriptorNameLeadsToTheInput",
                      {"-T", "/dev/fd/1", "--no-reports", "in.fa"},
                      "Error opening file: /dev/fd/1 (the same file as the input in.fa)\n",
                      "in.fa"},
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

// Regression: /dev/stdout leading to a regular file was replaced as a report is (as root,
// the link itself; otherwise the run failed), and what went there was lost.
TEST(StreamOutput, DescriptorNamesAreWrittenThroughTheirDescriptor) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", kInput);
  ASSERT_EQ(RunTrelba({"-T", "t.tsv", "--summary", "s.tsv", "in.fa"}, dir.path()).status, 0);
  fs::create_symlink("/dev/stdout", dir / "out.link");
  for (const char* name : {"/dev/stdout", "/proc/self/fd/1", "out.link"}) {
    RunOptions options;
    options.output_appended_to = "captured.tsv";
    fs::remove(dir / "captured.tsv");
    const RunResult run = RunTrelba({"-T", name, "--no-reports", "in.fa"}, dir.path(), options);
    EXPECT_EQ(run.status, 0) << name << ": " << run.err;
    EXPECT_EQ(ReadFile(dir / "captured.tsv"), ReadFile(dir / "t.tsv")) << name;
  }
  EXPECT_TRUE(fs::is_symlink("/dev/stdout"));
  // Nothing is put in /dev or /proc.
  const RunResult device = RunTrelba({"-T", "/dev/trelba-test.tsv", "in.fa"}, dir.path());
  EXPECT_EQ(device.status, 255);
  EXPECT_EQ(device.err.rfind("Error opening file: /dev/trelba-test.tsv", 0), 0u) << device.err;
  EXPECT_FALSE(fs::exists("/dev/trelba-test.tsv"));
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

  // Regression: a closed standard input holding the list of inputs was an empty list.
  const RunResult list =
      RunTrelba({"--no-reports", "--infile-list", "-"}, dir.path(), closed_input);
  EXPECT_EQ(list.status, 255);
  EXPECT_EQ(list.err, "Error opening file: standard input (it is closed)\n");

  RunOptions closed_output;
  closed_output.close_output = true;  // standard error too: only the status is seen
  EXPECT_EQ(RunTrelba({"-T", "-", "in.fa"}, dir.path(), closed_output).status, 255);
  EXPECT_FALSE(fs::exists(dir / "in.fa.ok"));
}

}  // namespace
}  // namespace trelba::test
