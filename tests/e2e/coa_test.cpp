// --coa from the command line: every thread count writes the same bytes (the genes are added
// to the analysis in input order whatever thread analysed them), and a kind it does not know
// is a usage error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_tool.hpp"
#include "synthetic_genes.hpp"

namespace trelba::test {
namespace {

class CoaThreads : public ::testing::TestWithParam<const char*> {};

TEST_P(CoaThreads, SameBytesAtEveryThreadCount) {
  ScratchDir dir;
  // Three inputs (the analysis of the inputs too), the first of several batches and of two
  // whole chunks of the cells made ahead of the rows (the last full, then none left).
  WriteFile(dir / "a.fa", SyntheticGenes(2048, 120));
  WriteFile(dir / "b.fa", SyntheticGenes(40, 300));
  WriteFile(dir / "c.fa", SyntheticGenes(7, 50) + ">empty\n>met\nATGATGTGG\n");
  std::string first;
  for (const char* threads : {"1", "2", "5"}) {
    const RunResult run =
        RunTrelba({"-j", threads, "--no-reports", "--coa", GetParam(), "-T", "t.tsv", "--summary",
                   "s.tsv", "--codon-usage", "u.tsv", "a.fa", "b.fa", "c.fa"},
                  dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string outputs =
        ReadFile(dir / "t.tsv") + ReadFile(dir / "s.tsv") + ReadFile(dir / "u.tsv");
    if (first.empty()) {
      first = outputs;
      EXPECT_NE(outputs.find("\tcoa4\n"), std::string::npos);
      EXPECT_NE(outputs.find("\tinputs_coa4\n"), std::string::npos);
    } else {
      EXPECT_TRUE(outputs == first) << "-j " << threads;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, CoaThreads, ::testing::Values("codons", "rscu", "aa"),
                         [](const auto& test) { return std::string(test.param); });

TEST(Coa, UnknownKindIsAUsageError) {
  ScratchDir dir;
  WriteFile(dir / "a.fa", SyntheticGenes(3, 30));
  const RunResult run = RunTrelba({"--coa", "rcsu", "--no-reports", "a.fa"}, dir.path());
  EXPECT_EQ(run.status, 255);
  EXPECT_NE(run.err.find("--coa"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace trelba::test
