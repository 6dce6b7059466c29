// The three reports of real and tricky inputs under every genetic code, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "run_tool.hpp"

namespace trelba::test {
namespace {

class ExpectedReports : public ::testing::TestWithParam<std::tuple<const char*, const char*>> {};

TEST_P(ExpectedReports, MatchByteForByte) {
  const std::string input = std::get<0>(GetParam());
  const std::string code = std::get<1>(GetParam());
  const auto expected = TestData() / "expected" / input;
  ScratchDir dir;
  WriteFile(dir / input, ReadFile(TestData() / "inputs" / input));

  const RunResult run = RunTrelba({input, code}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  // A code argument other than 0 to 7 means the standard code, and says so; tricky.fa
  // holds a '>' inside a line, which ends a gene early.
  const std::string tricky =
      input != "tricky.fa" ? ""
                           : "Warning: tricky.fa: 1 '>' inside a line starts a new sequence (the "
                             "first: line 12)\n"
                             "Warning: tricky.fa: 1 sequence has stop codons before the last "
                             "codon (the first: header on line 12); --cds-only leaves them out\n";
  EXPECT_EQ(run.err, (code == "9" ? "Warning: genetic code argument '9' is not one of 0 to 7: "
                                    "code 0 (the standard code) was used\n"
                                  : std::string()) +
                         tricky);
  EXPECT_EQ(ReadFile(dir / (input + ".freq")), ReadFile(expected / "freq"));
  EXPECT_EQ(ReadFile(dir / (input + ".iik")), ReadFile(expected / (code + ".iik")));
  EXPECT_EQ(ReadFile(dir / (input + ".ok")), ReadFile(expected / (code + ".ok")));
}

INSTANTIATE_TEST_SUITE_P(AllCodes, ExpectedReports,
                         ::testing::Combine(::testing::Values("tricky.fa", "ypestis.ffn"),
                                            ::testing::Values("0", "1", "2", "3", "4", "5", "6",
                                                              "7", "9")),
                         [](const auto& test) {
                           std::string name = std::get<0>(test.param);
                           std::replace(name.begin(), name.end(), '.', '_');
                           return name + "_code" + std::get<1>(test.param);
                         });

// A code argument other than "1" to "7" is the standard code; the third argument on is
// ignored.
TEST(Reports, OddCodeArgumentsGiveTheStandardCode) {
  ScratchDir dir;
  WriteFile(dir / "t.fa", ReadFile(TestData() / "inputs" / "tricky.fa"));
  const std::string standard = ReadFile(TestData() / "expected" / "tricky.fa" / "0.ok");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"t.fa"},
                                               {"t.fa", ""},
                                               {"t.fa", "01"},
                                               {"t.fa", " 1"},
                                               {"t.fa", "8"},
                                               {"t.fa", "0", "2"}}) {
    ASSERT_EQ(RunTrelba(args, dir.path()).status, 0);
    EXPECT_EQ(ReadFile(dir / "t.fa.ok"), standard) << "'" << args.back() << "'";
  }
  ASSERT_EQ(RunTrelba({"t.fa", "2", "0"}, dir.path()).status, 0);
  EXPECT_EQ(ReadFile(dir / "t.fa.ok"), ReadFile(TestData() / "expected" / "tricky.fa" / "2.ok"));
}

// Regression: the 50,001st sequence used to have no room; now any number is reported.
TEST(Reports, NoLimitOnTheNumberOfSequences) {
  ScratchDir dir;
  std::string input;
  for (int i = 0; i < 60000; ++i) input += ">\nTTTTTTTTC\n";
  WriteFile(dir / "many.fa", input);
  ASSERT_EQ(RunTrelba({"many.fa"}, dir.path()).status, 0);
  const std::string freq = ReadFile(dir / "many.fa.freq");
  EXPECT_EQ(freq.size(), 60000u * ReadFile(TestData() / "expected" / "one_block.freq").size());
  EXPECT_NE(freq.find("sequence#0050001 UUU\t2\t"), std::string::npos);
  EXPECT_TRUE(freq.ends_with("sequence#0060000 GUG\t0\tGCG\t0\tGAG\t0\tGGG\t0\n\n\n"));
  const std::string ok = ReadFile(dir / "many.fa.ok");
  EXPECT_EQ(std::count(ok.begin(), ok.end(), '\n'), 60002);
  EXPECT_EQ(ok.substr(ok.size() - 22), "\n\naverage = 0.0817042\n");
}

}  // namespace
}  // namespace trelba::test
