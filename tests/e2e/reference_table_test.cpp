// The reference's table is the run's: a host's genes give its virus the host's w and
// optimal codons whether both are read in one run (in either order) or the virus in a
// second run that reads the host's codon usage table; the optimal codons are found
// against the genes of the host not in the reference; the host's genes identical to the
// reference's are in_reference.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "planted_genome.hpp"
#include "run_tool.hpp"

namespace trelba::test {
namespace {

using Table = std::vector<std::vector<std::string>>;

Table Rows(const std::string& tsv) {
  Table rows;
  std::istringstream lines(tsv);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string>& cells = rows.emplace_back();
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
  }
  return rows;
}

// The cells of `columns` of the rows whose `key` column is `value` (every row when empty).
std::vector<std::string> Cells(const Table& rows, const std::vector<std::string>& columns,
                               const std::string& key = "", const std::string& value = "") {
  const auto at = [&](const std::string& name) {
    std::size_t i = 0;
    while (i < rows[0].size() && rows[0][i] != name) ++i;
    return i;
  };
  std::vector<std::string> cells;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    if (!key.empty() && rows[r][at(key)] != value) continue;
    for (const std::string& column : columns) cells.push_back(rows[r][at(column)]);
  }
  return cells;
}

// The host: the planted genome; its reference: the planted genes; the virus: the decoy
// genome's AT-rich stretch, none of whose genes is the host's.
struct Genomes {
  std::string host = PlantedGenome(false);
  std::string reference, virus;
  Genomes() {
    for (std::size_t at = host.find(">heg"); at != std::string::npos;
         at = host.find(">heg", at + 1)) {
      reference += host.substr(at, host.find('>', at + 1) - at);
    }
    const std::string decoy = PlantedGenome(true);
    const std::size_t from = decoy.find(">at500");
    virus = decoy.substr(from, decoy.find(">g640") - from);
  }
};

struct RunCase {
  const char* name;
  std::vector<std::vector<std::string>> runs;  // the last one's table holds the virus
};

void PrintTo(const RunCase& c, std::ostream* os) {
  *os << c.name;
}

class VirusAgainstHost : public ::testing::TestWithParam<RunCase> {};

TEST_P(VirusAgainstHost, GetsTheHostsTableInOneRunOrTwo) {
  ScratchDir dir;
  const Genomes genomes;
  WriteFile(dir / "host.fa", genomes.host);
  WriteFile(dir / "heg.fa", genomes.reference);
  WriteFile(dir / "virus.fa", genomes.virus);
  const RunResult one = RunTrelba({"--no-reports", "-T", "one.tsv", "--codon-usage", "one.usage",
                                   "--reference", "heg.fa", "host.fa", "virus.fa"},
                                  dir.path());
  ASSERT_EQ(one.status, 0) << one.err;
  for (const std::vector<std::string>& args : GetParam().runs) {
    const RunResult run = RunTrelba(args, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
  }
  const std::vector<std::string> expected = Cells(
      Rows(ReadFile(dir / "one.tsv")), {"id", "cai", "fop", "adaptation"}, "file", "virus.fa");
  ASSERT_EQ(expected.size(), 4u * 140);
  const Table rows = Rows(ReadFile(dir / "t.tsv"));
  EXPECT_EQ(rows[0][0] == "file"
                ? Cells(rows, {"id", "cai", "fop", "adaptation"}, "file", "virus.fa")
                : Cells(rows, {"id", "cai", "fop", "adaptation"}),
            expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VirusAgainstHost,
    ::testing::Values(
        RunCase{"VirusFirst",
                {{"--no-reports", "-T", "t.tsv", "--reference", "heg.fa", "virus.fa", "host.fa"}}},
        RunCase{"HostsUsageTable",
                {{"--no-reports", "--codon-usage", "host.tsv", "--reference", "heg.fa", "host.fa"},
                 {"--no-reports", "-T", "t.tsv", "--reference", "host.tsv", "virus.fa"}}},
        RunCase{"UsageTableOfTheRunWithTheVirus",
                {{"--no-reports", "-T", "t.tsv", "--reference", "one.usage", "virus.fa"}}},
        RunCase{
            "HostsUsageTableGzipped",
            {{"--no-reports", "--codon-usage", "host.tsv.gz", "--reference", "heg.fa", "host.fa"},
             {"--no-reports", "-T", "t.tsv", "--reference", "host.tsv.gz", "virus.fa"}}}),
    [](const auto& test) { return std::string(test.param.name); });

// Against the host's other genes, the planted genes' C- and G-ending codons are optimal,
// the same in the reference's rows and every input's; the ten planted genes, and no other,
// are in_reference.
TEST(ReferenceTable, OptimalAgainstTheRestOfTheGenomeAndGenesMarked) {
  ScratchDir dir;
  const Genomes genomes;
  WriteFile(dir / "host.fa", genomes.host);
  WriteFile(dir / "heg.fa", genomes.reference);
  WriteFile(dir / "virus.fa", genomes.virus);
  const RunResult run = RunTrelba({"--no-reports", "-T", "t.tsv", "--codon-usage", "u.tsv",
                                   "--reference", "heg.fa", "host.fa", "virus.fa"},
                                  dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const Table usage = Rows(ReadFile(dir / "u.tsv"));
  const std::vector<std::string> own = Cells(usage, {"codon", "optimal"}, "file", "heg.fa");
  EXPECT_EQ(Cells(usage, {"codon", "optimal"}, "file", "host.fa"), own);
  EXPECT_EQ(Cells(usage, {"codon", "optimal"}, "file", "virus.fa"), own);
  for (std::size_t i = 0; i < own.size(); i += 2) {
    const char third = own[i][2];
    if (own[i + 1] == "1") {
      EXPECT_TRUE(third == 'C' || third == 'G') << own[i];
    }
  }
  EXPECT_EQ(Cells(usage, {"optimal"}, "codon", "TTC")[0], "1");  // Phe
  for (const std::string& contrast : Cells(usage, {"contrast"})) EXPECT_EQ(contrast, "host.fa");
  std::vector<std::string> marked;
  const Table table = Rows(ReadFile(dir / "t.tsv"));
  const std::vector<std::string> cells = Cells(table, {"id", "in_reference"});
  for (std::size_t i = 0; i < cells.size(); i += 2) {
    if (cells[i + 1] == "1") marked.push_back(cells[i]);
  }
  std::vector<std::string> planted;
  for (int g = 100; g < 470; g += 37) planted.push_back("heg" + std::to_string(g));
  EXPECT_EQ(marked, planted);
}

struct GenomeCase {
  const char* name;
  std::vector<std::string> args;
  int status;
  std::string message;  // in standard error
};

void PrintTo(const GenomeCase& c, std::ostream* os) {
  *os << c.name;
}

class ReferenceGenome : public ::testing::TestWithParam<GenomeCase> {};

TEST_P(ReferenceGenome, IsFoundOrSaid) {
  ScratchDir dir;
  const Genomes genomes;
  WriteFile(dir / "host.fa", genomes.host);
  WriteFile(dir / "heg.fa", genomes.reference);
  WriteFile(dir / "virus.fa", genomes.virus);
  WriteFile(dir / "optimal.txt", "TTC, CTG\nTAC\n");
  std::vector<std::string> args = {"--no-reports", "-T", "t.tsv"};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  RunOptions options;
  options.standard_input = genomes.virus;
  const RunResult run = RunTrelba(args, dir.path(), options);
  EXPECT_EQ(run.status, GetParam().status) << run.err;
  EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReferenceGenome,
    ::testing::Values(GenomeCase{"NoInputHoldsTheGenes",
                                 {"--reference", "heg.fa", "virus.fa"},
                                 0,
                                 "heg.fa: no input holds a gene of the reference set"},
                      GenomeCase{"StandardInputCannotBeCountedFirst",
                                 {"--reference", "heg.fa", "host.fa", "virus.fa", "-"},
                                 255,
                                 "which standard input cannot be"},
                      GenomeCase{"NotWithOptimalCodonsGiven",
                                 {"--reference", "heg.fa", "--optimal-codons", "optimal.txt",
                                  "host.fa", "virus.fa", "-"},
                                 0,
                                 ""},
                      GenomeCase{
                          "OptimalCodonsNeedAReference",
                          {"--optimal-codons", "optimal.txt", "host.fa"},
                          255,
                          "--optimal-codons gives Fop's optimal codons: it needs --reference"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trelba::test

namespace trelba::test {
namespace {

// The tai column follows the columns known as a sequence is analysed, the same with the
// columns against a reference after it (added once the input is read) or not, and at every
// thread count.
TEST(TaiColumn, TheSameWithAReferenceAndAtEveryThreadCount) {
  ScratchDir dir;
  WriteFile(dir / "genome.fa", PlantedGenome(false) + ">onlymet\nATGATG\n");
  WriteFile(dir / "trna.txt",
            ">chr\n3 genes found\n1   tRNA-Phe   [1,76]\t35\t(gaa)\n2   tRNA-Leu   "
            "c[90,170]\t35\t(cag)\n3   tRNA-Gly   [200,275]\t34\t(gcc)\n");
  std::vector<std::string> columns;
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{"-j", "1"}, std::vector<std::string>{"-j", "3"},
        std::vector<std::string>{"--reference", "auto"}}) {
    std::vector<std::string> args = {"--no-reports", "--trna", "trna.txt", "-T", "t.tsv"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back("genome.fa");
    const RunResult run = RunTrelba(args, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    const Table rows = Rows(ReadFile(dir / "t.tsv"));
    EXPECT_EQ(rows[0][rows[0].size() - (extra[0] == "--reference" ? 8 : 1)], "tai");
    std::vector<std::string> tai = Cells(rows, {"tai"});
    EXPECT_EQ(tai.back(), "NA");  // only Met
    if (columns.empty()) columns = tai;
    EXPECT_EQ(tai, columns);
  }
}

}  // namespace
}  // namespace trelba::test
