// Awkward and malformed inputs, each placed once at the start of the file and once past
// the first read block, where the reader's state has to carry across a block boundary.
// The reports must be what the same text gives when analysed in memory in one piece, and
// a few facts about them are checked directly.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "analyse_text.hpp"
#include "run_tool.hpp"

namespace trelba::test {
namespace {

constexpr std::size_t kPastFirstBlock = (1 << 16) + 7;  // the read block is 64 KiB

// Valid FASTA of at least `size` bytes, ending with a line end.
std::string ValidPrefix(std::size_t size) {
  std::string text = ">before the fault\n";
  const std::string line = "ATGGCTAAACGTTTCCAGGATTGGCTTGAACCGTATGGTCACATCAAGTCTTAG\n";
  while (text.size() < size) text += line;
  return text;
}

struct BadInput {
  const char* name;
  std::function<std::string()> fault;
  std::function<void(const std::string& freq, const std::string& iik)> check;
  // Words of the warning the fault gives on its own (at the start of the file); after a
  // valid first block the fault may or may not warn.
  const char* warning = nullptr;
};

std::size_t Blocks(const std::string& iik) {
  return static_cast<std::size_t>(std::count(iik.begin(), iik.end(), '\n')) / 22;
}

const BadInput kBadInputs[] = {
    {"EveryByteValue",
     [] {
       std::string bytes = ">binary\n";
       for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
       return bytes + "\n";
     },
     nullptr, "not codons"},
    {"NulBytes", [] { return std::string(">nul\nATG\0\0\0AAA\0TTT\n", 20); }, nullptr},
    {"CrLfLineEnds", [] { return std::string(">crlf\r\nATGAAA\r\nTTTGGG\r\n"); }, nullptr},
    {"CrOnlyLineEnds", [] { return std::string(">cr\rATGAAA\rTTTGGG\r>cr2\rCCC\r"); }, nullptr},
    {"TenMegabyteHeader", [] { return ">" + std::string(10 << 20, 'h') + "\nTGGTGGTGG\n"; },
     [](const std::string& freq, const std::string&) {
       // The sequence after the header is read: 3 TGG.
       EXPECT_NE(freq.find("UGG\t3\n"), std::string::npos);
     }},
    {"HundredMegabyteSequenceLine",
     [] {
       std::string text = ">long\n";
       text.reserve(100u << 20);
       while (text.size() < (100u << 20)) text += "ATGATGATGATGATGATGATGATGATGATG";
       return text + "\n";
     },
     [](const std::string& freq, const std::string&) {
       EXPECT_NE(freq.find("AUG\t3.49525e+07\t"), std::string::npos);
     },
     "longer than any gene"},
    {"NoNewlineAtEnd", [] { return std::string(">last\nATGAAATT"); }, nullptr},
    {"HeadersOnly", [] { return std::string(">a\n>b\n>c"); }, nullptr},
};

class BadInputs : public ::testing::TestWithParam<std::tuple<std::size_t, bool>> {};

TEST_P(BadInputs, ReportAsInMemoryAndCarryOn) {
  const BadInput& bad = kBadInputs[std::get<0>(GetParam())];
  const bool past_first_block = std::get<1>(GetParam());
  const std::string input =
      (past_first_block ? ValidPrefix(kPastFirstBlock) : std::string()) + bad.fault();
  ScratchDir dir;
  WriteFile(dir / "bad.fa", input);

  const RunResult run = RunTrelba({"bad.fa"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  // Nothing on standard error but warnings about the input, among them the one the fault
  // calls for.
  if (bad.warning != nullptr && !past_first_block) {
    EXPECT_NE(run.err.find(bad.warning), std::string::npos) << run.err;
  }
  for (std::size_t at = 0; at < run.err.size(); at = run.err.find('\n', at) + 1) {
    EXPECT_EQ(run.err.compare(at, 17, "Warning: bad.fa: "), 0) << run.err;
  }
  const ReportTexts expected = AnalyseText(input, "0");
  const std::string freq = ReadFile(dir / "bad.fa.freq");
  const std::string iik = ReadFile(dir / "bad.fa.iik");
  EXPECT_TRUE(freq == expected.counts) << bad.name;
  EXPECT_TRUE(iik == expected.order) << bad.name;
  EXPECT_EQ(ReadFile(dir / "bad.fa.ok"), expected.scores);
  EXPECT_EQ(Blocks(iik), static_cast<std::size_t>(std::count(input.begin(), input.end(), '>')));
  if (bad.check) bad.check(freq, iik);
}

INSTANTIATE_TEST_SUITE_P(Table, BadInputs,
                         ::testing::Combine(::testing::Range<std::size_t>(0, std::size(kBadInputs)),
                                            ::testing::Bool()),
                         [](const auto& test) {
                           return std::string(kBadInputs[std::get<0>(test.param)].name) +
                                  (std::get<1>(test.param) ? "_PastFirstBlock" : "_AtStart");
                         });

// Regression: a report on a full disk is an error, whether it fills up at once or after
// the first blocks have been written.
class FullDisk : public ::testing::TestWithParam<const char*> {};

TEST_P(FullDisk, IsAWriteErrorNamingTheReport) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", ValidPrefix(4u << 20));
  const std::string report = std::string("in.fa") + GetParam();
  RunOptions full_disk;
  full_disk.inject_faults = true;
  full_disk.environment = {
      {"TRELBA_FAULT", "ENOSPC"}, {"TRELBA_FAULT_CALL", "write"}, {"TRELBA_FAULT_PATH", report}};
  const RunResult run = RunTrelba({"in.fa"}, dir.path(), full_disk);
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.err, "Error writing file: " + report + " (No space left on device)\n");
  EXPECT_EQ(LeftoverTemporaryFiles(dir.path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(EachReport, FullDisk, ::testing::Values(".iik", ".ok", ".freq"),
                         [](const auto& test) { return std::string(test.param + 1); });

}  // namespace
}  // namespace trelba::test
