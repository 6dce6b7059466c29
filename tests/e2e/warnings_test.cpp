// Warnings about input that is plainly not coding DNA: each fires once, with its counts,
// leaves the status and the reports as they were, and stays silent on real genes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "analyse_text.hpp"
#include "run_tool.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

struct WarningCase {
  const char* name;
  std::string input;
  std::string err;
};

void PrintTo(const WarningCase& c, std::ostream* out) {
  *out << c.name;
}

std::string Repeat(const std::string& text, std::size_t times) {
  std::string out;
  out.reserve(text.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += text;
  return out;
}

class InputWarnings : public ::testing::TestWithParam<WarningCase> {};

TEST_P(InputWarnings, OneLineEachReportsUnchanged) {
  const WarningCase& c = GetParam();
  ScratchDir dir;
  WriteFile(dir / "in.fa", c.input);
  const RunResult run = RunTrelba({"in.fa"}, dir.path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, c.err);
  const ReportTexts expected = AnalyseText(c.input, "0");
  EXPECT_TRUE(ReadFile(dir / "in.fa.freq") == expected.counts);
  EXPECT_EQ(ReadFile(dir / "in.fa.ok"), expected.scores);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InputWarnings,
    ::testing::Values(
        WarningCase{"RnaLetters", ">m1\nAUGUUUGCU\n>m2\naugcccuaa\n",
                    "Warning: in.fa: 7 letters U or u (RNA spelling) were read: triples holding "
                    "them are not counted; convert U to T first\n"},
        WarningCase{"ProteinFile", ">sp|P69905|HBA_HUMAN\nMVLSPADKTNVKAAWGKVGAHAGEYGAEALERMFLSF\n",
                    "Warning: in.fa: 12 of 12 triples were not codons of T, C, A and G: is this "
                    "a protein file?\n"},
        WarningCase{"NoHeader", "ATGAAATTTCCC\n",
                    "Warning: in.fa: no header line (a line starting with '>') was found: "
                    "nothing is reported\n"},
        WarningCase{"EmptyFile", "",
                    "Warning: in.fa: no header line (a line starting with '>') was found: "
                    "nothing is reported\n"},
        WarningCase{"WholeGenome", ">chr\n" + Repeat("ATGGCTAAACGTTTCCAGGA", 500001) + "\n",
                    "Warning: in.fa: 1 sequence is longer than any gene (the longest holds "
                    "10000020 letters): a whole genome is scored as one gene\n"},
        // Half the triples are not codons: not "most", so no warning.
        WarningCase{"HalfNs", ">a\nNNNATG\n", ""},
        WarningCase{"JustUnderTheGenomeLength",
                    ">chr\n" + Repeat("ATGGCTAAACGTTTCCAGGA", 499999) + "\n", ""}),
    [](const auto& test) { return std::string(test.param.name); });

// Regression guard: no warning on real coding sequences (nor on the genome and intron
// files shipped with them), under any code.
TEST(InputWarnings, SilentOnRealFiles) {
  ScratchDir dir;
  std::vector<fs::path> inputs;
  for (const auto& entry : fs::directory_iterator(TestData() / "real")) inputs.push_back(entry);
  inputs.push_back(TestData() / "inputs" / "ypestis.ffn");
  for (const fs::path& input : inputs) {
    WriteFile(dir / "in.fa", ReadFile(input));
    for (const char* code : {"0", "2", "5"}) {
      const RunResult run = RunTrelba({"--no-reports", "in.fa", code}, dir.path());
      EXPECT_EQ(run.status, 0);
      EXPECT_EQ(run.err, "") << input << " code " << code;
    }
  }
}

}  // namespace
}  // namespace trelba::test
