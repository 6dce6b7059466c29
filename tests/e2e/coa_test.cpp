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

// The records of `fasta`, each beginning at a '>'.
std::vector<std::string> Records(const std::string& fasta) {
  std::vector<std::string> records;
  for (std::size_t at = 0; at < fasta.size();) {
    const std::size_t next = fasta.find('>', at + 1);
    records.push_back(fasta.substr(at, next - at));
    at = next == std::string::npos ? fasta.size() : next;
  }
  return records;
}

// Each line of `table` without its first cell (the sequence's number in its input).
std::string WithoutFirstCells(const std::string& table) {
  std::string rest;
  for (std::size_t at = 0; at < table.size();) {
    const std::size_t end = table.find('\n', at);
    const std::size_t tab = table.find('\t', at);
    rest += table.substr(tab + 1, end - tab);
    at = end + 1;
  }
  return rest;
}

// A sequence left out by --min-codons is no gene of the analysis: the table is the one of
// the genes kept alone (but for their numbers in the input), at every thread count (the short genes
// between them once took the places of kept genes' ENC values).
TEST_P(CoaThreads, SequencesLeftOutAreNoGenes) {
  ScratchDir dir;
  const std::vector<std::string> kept = Records(SyntheticGenes(300, 120));
  std::vector<std::string> short_genes = Records(SyntheticGenes(300, 20));
  std::string mixed, alone;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    mixed += kept[i] + ">short" + short_genes[i].substr(5);
    alone += kept[i];
  }
  WriteFile(dir / "mixed.fa", mixed);
  WriteFile(dir / "alone.fa", alone);
  const RunResult reference =
      RunTrelba({"--no-reports", "--coa", GetParam(), "-T", "alone.tsv", "alone.fa"}, dir.path());
  ASSERT_EQ(reference.status, 0) << reference.err;
  for (const char* threads : {"1", "2"}) {
    const RunResult run = RunTrelba({"-j", threads, "--no-reports", "--coa", GetParam(),
                                     "--min-codons", "50", "-T", "mixed.tsv", "mixed.fa"},
                                    dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(WithoutFirstCells(ReadFile(dir / "mixed.tsv")) ==
                WithoutFirstCells(ReadFile(dir / "alone.tsv")))
        << "-j " << threads;
  }
}

TEST(Coa, UnknownKindIsAUsageError) {
  ScratchDir dir;
  WriteFile(dir / "a.fa", SyntheticGenes(3, 30));
  const RunResult run = RunTrelba({"--coa", "rcsu", "--no-reports", "a.fa"}, dir.path());
  EXPECT_EQ(run.status, 255);
  EXPECT_NE(run.err.find("--coa"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace trelba::test
