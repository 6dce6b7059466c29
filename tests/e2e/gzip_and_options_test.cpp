// Gzip-compressed input and the --help / --version options.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <utility>

#include "compress.hpp"
#include "run_tool.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

// bgzip and `cat a.gz b.gz` write several members; all of them are read, across the
// reader's block boundaries.
TEST(GzipInput, EveryMemberOfAMultiMemberFileIsRead) {
  ScratchDir dir;
  std::string text;
  while (text.size() < (3u << 20))
    text += ">g\nATGGCTAAACGTTTCCAGGATTGGCTTGAACCGTATGGTCACATCAAGTCT\n";
  std::string members;
  for (std::size_t at = 0; at < text.size(); at += 65280) members += Gzip(text.substr(at, 65280));
  members += Gzip("");  // an empty member, as bgzip ends its files
  ExpectSameReports(Analyse(dir, "plain.fa", text), Analyse(dir, "bgzf.fa.gz", members),
                    "multi-member");
}

struct BrokenGzip {
  const char* name;
  std::string (*make)(const std::string& gz);
  const char* reason;  // the cause the error line gives
};

constexpr const char* kTruncated = "truncated gzip member";
constexpr const char* kCheckMismatch = "gzip checksum mismatch";
constexpr const char* kDataAfter = "data after the end of the gzip stream";

std::string Flip(std::string bytes, std::size_t at) {
  bytes[at] = static_cast<char>(bytes[at] ^ 0x40);
  return bytes;
}

void PrintTo(const BrokenGzip& c, std::ostream* os) {
  *os << c.name;
}

class BrokenGzipCases : public ::testing::TestWithParam<BrokenGzip> {};

// Regression guard: a damaged compressed file must never read as a shorter success.
TEST_P(BrokenGzipCases, IsAReadError) {
  std::string text;
  while (text.size() < (1u << 20)) text += ">x\nATGAAACCCGGGTTTTAG\n";
  ScratchDir dir;
  const Reports broken = Analyse(dir, "broken.fa.gz", GetParam().make(Gzip(text)));
  EXPECT_EQ(broken.status, 255);
  EXPECT_EQ(broken.err,
            std::string("Error reading file: broken.fa.gz (") + GetParam().reason + ")\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenGzipCases,
    ::testing::Values(
        BrokenGzip{"TrailerCut", [](const std::string& gz) { return gz.substr(0, gz.size() - 4); },
                   kTruncated},
        BrokenGzip{"CutInHalf", [](const std::string& gz) { return gz.substr(0, gz.size() / 2); },
                   kTruncated},
        BrokenGzip{"OnlyTheMagic", [](const std::string&) { return std::string("\x1f\x8b", 2); },
                   kTruncated},
        BrokenGzip{"FlippedByte", [](const std::string& gz) { return Flip(gz, gz.size() / 2); },
                   kCheckMismatch},
        BrokenGzip{"BadCheckValue", [](const std::string& gz) { return Flip(gz, gz.size() - 6); },
                   kCheckMismatch},
        BrokenGzip{"BadLength", [](const std::string& gz) { return Flip(gz, gz.size() - 1); },
                   kCheckMismatch},
        BrokenGzip{"GarbageAfterMember",
                   [](const std::string& gz) { return gz + "not a gzip member"; }, kDataAfter},
        // Its first byte is a member's, its second is not.
        BrokenGzip{"GarbageLikeAMemberAfterMember",
                   [](const std::string& gz) { return gz + "\x1fnot a member"; }, kDataAfter}),
    [](const auto& test) { return std::string(test.param.name); });

// Damaged BGZF input, inflated on several threads or on one: the same error, with the
// same cause.
TEST(GzipInput, DamagedBgzfIsAReadErrorAtEveryThreadCount) {
  std::string text;
  while (text.size() < (1u << 20)) text += ">x\nATGAAACCCGGGTTTTAG\n";
  const std::string bgzf = Bgzf(text, 20'000);
  constexpr std::size_t kEndOfFileMember = 28;
  const std::pair<std::string, const char*> damaged[] = {
      {bgzf.substr(0, bgzf.size() / 2), kTruncated},  // a member cut
      {Flip(bgzf, bgzf.size() / 2), kCheckMismatch},  // a byte flipped
      // The CRC-32 of the last member of text.
      {Flip(bgzf, bgzf.size() - kEndOfFileMember - 8), kCheckMismatch},
      {bgzf + "not a gzip member", kDataAfter},
      {bgzf + std::string(9, '\0') + bgzf, kDataAfter},
  };
  ScratchDir dir;
  for (std::size_t k = 0; k < std::size(damaged); ++k) {
    WriteFile(dir / "broken.fa.gz", damaged[k].first);
    for (const char* threads : {"1", "2", "4"}) {
      const RunResult run = RunTrelba({"-j", threads, "broken.fa.gz"}, dir.path());
      EXPECT_EQ(run.status, 255) << "case " << k << ", -j " << threads;
      EXPECT_EQ(run.err,
                std::string("Error reading file: broken.fa.gz (") + damaged[k].second + ")\n")
          << "case " << k << ", -j " << threads;
    }
  }
  // Zero padding after the end-of-file member is read as gzip reads it.
  WriteFile(dir / "padded.fa.gz", bgzf + std::string(70'000, '\0'));
  WriteFile(dir / "plain.fa", text);
  ASSERT_EQ(RunTrelba({"plain.fa"}, dir.path()).status, 0);
  for (const char* threads : {"1", "2", "4"}) {
    ASSERT_EQ(RunTrelba({"-j", threads, "padded.fa.gz"}, dir.path()).status, 0) << threads;
    EXPECT_EQ(ReadFile(dir / "padded.fa.gz.freq"), ReadFile(dir / "plain.fa.freq")) << threads;
  }
}

// A plain file is told by its content, not its name: a .gz name changes nothing.
TEST(GzipInput, PlainFileWithGzName) {
  ScratchDir dir;
  const std::string text = ReadFile(TestData() / "inputs" / "tricky.fa");
  ExpectSameReports(Analyse(dir, "plain.fa", text), Analyse(dir, "plain.fa.gz", text), "name");
}

struct OptionCase {
  const char* name;
  std::vector<std::string> args;
  int status;
  std::string out_starts;
};

void PrintTo(const OptionCase& c, std::ostream* os) {
  *os << c.name;
}

class Options : public ::testing::TestWithParam<OptionCase> {};

TEST_P(Options, PrintAndExit) {
  ScratchDir dir;
  const RunResult run = RunTrelba(GetParam().args, dir.path());
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_EQ(run.out.substr(0, GetParam().out_starts.size()), GetParam().out_starts);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(fs::is_empty(dir.path()));  // no report files
}

const char kHelpStart[] =
    "Usage: Trelba [options] FILE... | Trelba [options] FILE genetic_code_number\n";

INSTANTIATE_TEST_SUITE_P(
    Table, Options,
    ::testing::Values(OptionCase{"Help", {"--help"}, 0, kHelpStart},
                      OptionCase{"ShortHelp", {"-h"}, 0, kHelpStart},
                      OptionCase{"HelpWithMoreArguments", {"--help", "2"}, 0, kHelpStart},
                      OptionCase{"Version", {"--version"}, 0, "Trelba " TRELBA_VERSION "\n"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(Options, HelpListsEveryCodeAndReport) {
  ScratchDir dir;
  const std::string help = RunTrelba({"--help"}, dir.path()).out;
  for (const char* word : {".freq", ".iik", ".ok", "  0  ", "  7  "}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
}

// Options come before the file name; a file named like an option is given after "--" or
// as ./--help.
TEST(Options, AFileCanBeNamedLikeAnOption) {
  ScratchDir dir;
  WriteFile(dir / "--help", ">a\nATG\n");
  EXPECT_EQ(RunTrelba({"./--help"}, dir.path()).status, 0);
  EXPECT_TRUE(fs::exists(dir / "--help.freq"));
  fs::remove(dir / "--help.freq");
  EXPECT_EQ(RunTrelba({"--", "--help"}, dir.path()).status, 0);
  EXPECT_TRUE(fs::exists(dir / "--help.freq"));
}

}  // namespace
}  // namespace trelba::test
