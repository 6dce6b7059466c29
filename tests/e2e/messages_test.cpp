// What reaches standard error as it is connected to a terminal, a file or a pipe: warnings
// unless -q, errors always, progress at a terminal by default, in a file or a pipe when
// asked; and the reports the same bytes whatever is shown.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "run_tool.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

enum class Connected { kFile, kPipe, kTerminal };

const char kWarning[] =
    "Warning: b.fa: 1 sequence's length is not a multiple of 3 (the first: header on line 1)";
const char kProgressEnd[] = "2 of 2 inputs done, 3 sequences, ";

struct MessageCase {
  const char* name;
  std::vector<std::string> options;
  Connected connected;
  int status;
  bool warning;   // the warning is shown
  bool progress;  // progress is shown
  std::vector<std::string> inputs = {"a.fa", "b.fa"};
  std::string error = {};  // an error line shown
};

void PrintTo(const MessageCase& c, std::ostream* os) {
  *os << c.name;
}

std::string Quoted(const std::string& word) {
  std::string quoted = "'";
  return quoted.append(word).append("'");
}

// Runs Trelba in `dir` with standard error connected as asked (a terminal through
// script(1)'s pseudo-terminal); its status, and what reached standard error.
int RunConnected(const fs::path& dir, const std::vector<std::string>& args, Connected connected,
                 std::string& err) {
  std::string command = Quoted(TRELBA_BINARY);
  for (const std::string& arg : args) command.append(" ").append(Quoted(arg));
  std::string line = "cd " + Quoted(dir.string()) + " && ";
  switch (connected) {
    case Connected::kFile:
      line += command + " 2> err.txt";
      break;
    case Connected::kPipe:
      line += "{ " + command +
              " 2>&1 >/dev/null; echo $? > status.txt; } | cat > err.txt; exit "
              "$(cat status.txt)";
      break;
    case Connected::kTerminal:
      line += "script -qec \"" + command + "\" /dev/null > err.txt";
      break;
  }
  const int status = std::system(line.c_str());
  err = ReadFile(dir / "err.txt");
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Messages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(Messages, ShowWhatIsAskedAndKeepTheReports) {
  const MessageCase& c = GetParam();
  if (c.connected == Connected::kTerminal &&
      std::system("command -v script > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "no script(1) to give a terminal";
  }
  ScratchDir dir;
  WriteFile(dir / "a.fa", ">a1\nATGAAATTTTAA\n>a2\nATGCCCGGGTAA\n");
  WriteFile(dir / "b.fa", ">b1\nATGAAATTTCCCGGTAA\n");
  ASSERT_EQ(RunTrelba({"-o", "plain/", "a.fa", "b.fa"}, dir.path()).status, 0);
  std::vector<std::string> args = {"-o", "shown/"};
  args.insert(args.end(), c.options.begin(), c.options.end());
  args.insert(args.end(), c.inputs.begin(), c.inputs.end());
  std::string err;
  EXPECT_EQ(RunConnected(dir.path(), args, c.connected, err), c.status);
  EXPECT_EQ(err.find(kWarning) != std::string::npos, c.warning) << err;
  EXPECT_EQ(err.find(kProgressEnd) != std::string::npos, c.progress) << err;
  if (!c.error.empty()) {
    EXPECT_NE(err.find(c.error), std::string::npos) << err;
  }
  if (c.connected != Connected::kTerminal && c.progress) {
    // Lines of their own in a file or a pipe, never drawn over.
    EXPECT_EQ(err.find('\r'), std::string::npos) << err;
  }
  if (c.status != 0) return;
  for (const char* report : {"a.fa.ok", "a.fa.iik", "a.fa.freq", "b.fa.ok", "b.fa.freq"}) {
    EXPECT_EQ(ReadFile(dir / "shown" / report), ReadFile(dir / "plain" / report)) << report;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Messages,
    ::testing::Values(
        MessageCase{"FileShowsWarningsNoProgress", {}, Connected::kFile, 0, true, false},
        MessageCase{"FileProgressWhenAsked", {"--progress"}, Connected::kFile, 0, true, true},
        MessageCase{"PipeNoProgressByDefault", {}, Connected::kPipe, 0, true, false},
        MessageCase{"PipeProgressWhenAsked", {"--progress"}, Connected::kPipe, 0, true, true},
        MessageCase{"TerminalProgressByDefault", {}, Connected::kTerminal, 0, true, true},
        MessageCase{"TerminalNoProgress", {"--no-progress"}, Connected::kTerminal, 0, true, false},
        MessageCase{"TerminalQuiet", {"-q"}, Connected::kTerminal, 0, false, false},
        MessageCase{"TerminalQuietWithProgress",
                    {"--quiet", "--progress"},
                    Connected::kTerminal,
                    0,
                    false,
                    true},
        MessageCase{"FileQuiet", {"-q"}, Connected::kFile, 0, false, false},
        // Warnings still count for --strict, unseen.
        MessageCase{"FileQuietStrict", {"-q", "--strict"}, Connected::kFile, 255, false, false},
        MessageCase{"QuietStillShowsErrors",
                    {"-q"},
                    Connected::kFile,
                    255,
                    false,
                    false,
                    {"a.fa", "b.fa", "missing.fa"},
                    "Error opening file: missing.fa\n"},
        MessageCase{"ProgressAndNoProgress",
                    {"--progress", "--no-progress"},
                    Connected::kFile,
                    255,
                    false,
                    false,
                    {"a.fa", "b.fa"},
                    "Trelba: --progress and --no-progress cannot be given together\n"}),
    [](const auto& test) { return std::string(test.param.name); });

// The reports beside an input whose folder takes no files: the error, with the ways out,
// comes before anything of the table on standard output (both into one file here).
TEST(Messages, ReadOnlyReportFolderIsSaidBeforeAnyTableText) {
  ScratchDir dir;
  WriteFile(dir / "a.fa", ">a1\nATGAAATTTTAA\n");
  const std::string line =
      "cd " + Quoted(dir.path().string()) + " && LD_PRELOAD=" + Quoted(TRELBA_FAULT_SHIM) +
      " TRELBA_FAULT=EACCES TRELBA_FAULT_CALL=open TRELBA_FAULT_PATH=a.fa.iik "
      "TRELBA_FAULT_AT=0 ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" " +
      Quoted(TRELBA_BINARY) + " -T - a.fa > both.txt 2>&1";
  EXPECT_NE(std::system(line.c_str()), 0);
  const std::string both = ReadFile(dir / "both.txt");
  EXPECT_EQ(both.rfind("Error opening file: a.fa.iik (Permission denied): the reports go beside "
                       "their input unless -o DIR/ names another folder, or --no-reports leaves "
                       "them out\n",
                       0),
            0u)
      << both;
}

}  // namespace
}  // namespace trelba::test
