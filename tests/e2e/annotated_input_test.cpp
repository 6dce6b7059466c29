// The sequences a run keeps (--cds-only, --min-codons), the first codon left out of the
// indices (--skip-first-codon), what the summary's status says of inputs that gave no
// sequence (and --strict), and GenBank and GFF3 inputs read as the user gives them.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "run_tool.hpp"

namespace trelba::test {
namespace {

// Column `name` of every row of a tab-separated text with a header row.
std::vector<std::string> Column(const std::string& table, const std::string& name) {
  std::istringstream lines(table);
  std::string line;
  std::getline(lines, line);
  std::size_t index = 0;
  for (std::istringstream header(line); std::getline(header, line, '\t') && line != name;) {
    ++index;
  }
  std::vector<std::string> cells;
  while (std::getline(lines, line)) {
    std::istringstream row(line);
    std::string cell;
    for (std::size_t i = 0; i <= index && std::getline(row, cell, '\t'); ++i) {
    }
    cells.push_back(cell);
  }
  return cells;
}

const std::string kMixed =
    ">g1 chromosomal protein\nATGAAACCCGGGTTTTAA\n"
    ">r1 16S ribosomal RNA\nATGAAACCCGGGTTTTAAGGG\n"
    ">t1 tRNA-Leu(caa)\nATGAAACCC\n"
    ">p1 [gene=x] [pseudo=true]\nATGAAATAA\n"
    ">n1 [gene=rrsA] [gbkey=rRNA]\nATGAAACCCGGGTAA\n"
    ">s1 stops\nATGTAAAAATAA\n"
    ">f1 frame\nATGAAAC\n"
    ">m1 tRNA-dihydrouridine synthase\nGTGAAACCCTAA\n";

struct FilterCase {
  const char* name;
  std::vector<std::string> options;
  std::vector<std::string> ids;  // kept, in order
  std::string left;              // the summary's left_rna ... left_short, or "" without them
};

void PrintTo(const FilterCase& c, std::ostream* os) {
  *os << c.name;
}

class Filters : public ::testing::TestWithParam<FilterCase> {};

TEST_P(Filters, KeepTheSequencesTheyShould) {
  const FilterCase& c = GetParam();
  ScratchDir dir;
  WriteFile(dir / "in.fa", kMixed);
  std::vector<std::string> args = {"-T", "t.tsv", "--summary", "s.tsv", "in.fa"};
  args.insert(args.begin(), c.options.begin(), c.options.end());
  const RunResult run = RunTrelba(args, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Column(ReadFile(dir / "t.tsv"), "id"), c.ids);
  const std::string summary = ReadFile(dir / "s.tsv");
  EXPECT_EQ(Column(summary, "sequences"), std::vector<std::string>{std::to_string(c.ids.size())});
  std::string left;
  if (summary.find("left_rna") != std::string::npos) {
    for (const char* name :
         {"left_rna", "left_pseudogenes", "left_stops", "left_frame", "left_short"}) {
      left += (left.empty() ? "" : ",") + Column(summary, name).at(0);
    }
  }
  EXPECT_EQ(left, c.left);
  // The reports hold the kept sequences alone: a score line each, and the average.
  const std::string scores = ReadFile(dir / "in.fa.ok");
  EXPECT_EQ(static_cast<std::size_t>(std::count(scores.begin(), scores.end(), '\n')),
            c.ids.size() + 2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Filters,
    ::testing::Values(
        FilterCase{"None", {}, {"g1", "r1", "t1", "p1", "n1", "s1", "f1", "m1"}, ""},
        FilterCase{"CdsOnly", {"--cds-only"}, {"g1", "m1"}, "3,1,1,1,0"},
        FilterCase{"MinCodons", {"--min-codons", "4"}, {"g1", "r1", "n1", "s1", "m1"}, "0,0,0,0,3"},
        FilterCase{"MinCodonsZero",
                   {"--min-codons", "0"},
                   {"g1", "r1", "t1", "p1", "n1", "s1", "f1", "m1"},
                   "0,0,0,0,0"},
        FilterCase{"Both", {"--cds-only", "--min-codons", "5"}, {"g1"}, "3,1,1,1,1"}));

// The indices without the first codon are those of the sequence without it; the reports
// and counts keep it.
TEST(SkipFirstCodon, IndicesReadTheSequenceWithoutItsFirstCodon) {
  ScratchDir dir;
  const std::string body = "GCTGCCGCAGCGGGTGGCGGAGGGCTTCTCCTACTGTTATTGAAAAAGTAA";
  WriteFile(dir / "whole.fa", ">a\nGTG" + body + "\n");
  WriteFile(dir / "rest.fa", ">a\n" + body + "\n");
  ASSERT_EQ(RunTrelba({"-T", "skip.tsv", "--skip-first-codon", "--counts", "whole.fa"}, dir.path())
                .status,
            0);
  const std::string skip_freq = ReadFile(dir / "whole.fa.freq");
  ASSERT_EQ(RunTrelba({"-T", "plain.tsv", "--counts", "whole.fa"}, dir.path()).status, 0);
  ASSERT_EQ(RunTrelba({"-T", "rest.tsv", "rest.fa"}, dir.path()).status, 0);
  const std::string skip = ReadFile(dir / "skip.tsv");
  const std::string rest = ReadFile(dir / "rest.tsv");
  for (const char* index : {"enc", "gc3s"}) {
    EXPECT_EQ(Column(skip, index), Column(rest, index)) << index;
  }
  EXPECT_EQ(Column(skip, "GTG"), std::vector<std::string>{"1"});
  EXPECT_EQ(Column(skip, "gc3"), Column(ReadFile(dir / "plain.tsv"), "gc3"));
  EXPECT_EQ(skip_freq, ReadFile(dir / "whole.fa.freq"));
}

struct StatusCase {
  const char* name;
  const char* file;
  std::string content;
  std::string status;
};

void PrintTo(const StatusCase& c, std::ostream* os) {
  *os << c.name;
}

class Statuses : public ::testing::TestWithParam<StatusCase> {};

TEST_P(Statuses, SayWhatTheInputWas) {
  const StatusCase& c = GetParam();
  ScratchDir dir;
  WriteFile(dir / c.file, c.content);
  const RunResult run = RunTrelba({"--summary", "s.tsv", c.file}, dir.path());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Column(ReadFile(dir / "s.tsv"), "status"), std::vector<std::string>{c.status});
  // --strict: an input that gave no sequence fails, and leaves no report.
  ScratchDir strict_dir;
  WriteFile(strict_dir / c.file, c.content);
  const RunResult strict = RunTrelba({"--strict", c.file}, strict_dir.path());
  const bool ok = c.status == "ok";
  EXPECT_EQ(strict.status, ok ? 0 : 255) << strict.err;
  EXPECT_EQ(std::filesystem::exists(strict_dir / (std::string(c.file) + ".ok")), ok);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Statuses,
    ::testing::Values(
        StatusCase{"Fasta", "a.fa", ">a\nATGAAATAA\n", "ok"},
        StatusCase{"Empty", "a.fa", "\n \n", "empty"},
        StatusCase{"Fastq", "a.fq", "@r1\nACGT\n+\nIIII\n", "fastq"},
        StatusCase{"Text", "a.txt", "gene\tlength\nabc\t300\n", "text"},
        StatusCase{"Binary", "a.bin", std::string(100, '\x7f') + std::string(1, '\0'), "binary"},
        StatusCase{"GenBank", "a.gb",
                   "LOCUS       A 9 bp DNA\nFEATURES\n     CDS   1..9\nORIGIN\n 1 atgaaataa\n//\n",
                   "ok"},
        StatusCase{"GenBankWithoutCds", "a.gb",
                   "LOCUS       A 9 bp DNA\nFEATURES\n     gene  1..9\nORIGIN\n 1 atgaaataa\n//\n",
                   "no_cds"},
        StatusCase{"Gff3WithoutGenome", "a.gff",
                   "##gff-version 3\nc\tx\tCDS\t1\t9\t.\t+\t0\tID=a\n", "no_cds"}));

// A genome and its GFF3 give the same sequences as the GFF3 that carries the genome, and
// the same as its GenBank file; gzipped or not. A GFF3 that cannot be opened is an error.
TEST(AnnotatedInputs, OneGenomeGivenThreeWaysGivesOneTable) {
  ScratchDir dir;
  const std::string genome = "atgaaataacccgggtttaaacccgggttatgtga";
  const std::string gff =
      "##gff-version 3\n"
      "c1\tx\tCDS\t1\t9\t.\t+\t0\tID=cds-a;locus_tag=a\n"
      "c1\tx\tCDS\t13\t18\t.\t-\t0\tID=cds-b;Parent=t;locus_tag=b\n"
      "c1\tx\tCDS\t28\t33\t.\t-\t0\tID=cds-b;Parent=t;locus_tag=b\n";
  WriteFile(dir / "g.fa", ">c1 genome\n" + genome + "\n");
  WriteFile(dir / "g.gff", gff);
  WriteFile(dir / "whole.gff", gff + "##FASTA\n>c1\n" + genome + "\n");
  WriteFile(dir / "g.gb",
            "LOCUS       c1 35 bp DNA linear\nFEATURES             Location/Qualifiers\n"
            "     CDS             1..9\n                     /locus_tag=\"a\"\n"
            "     CDS             complement(join(13..18,28..33))\n"
            "                     /locus_tag=\"b\"\n"
            "ORIGIN\n        1 " +
                genome + "\n//\n");
  const std::vector<std::vector<std::string>> ways = {
      {"--gff", "g.gff", "g.fa"}, {"whole.gff"}, {"g.gb"}};
  std::vector<std::string> tables;
  for (const auto& way : ways) {
    std::vector<std::string> args = {"-T", "-", "--no-reports", "--counts"};
    args.insert(args.end(), way.begin(), way.end());
    const RunResult run = RunTrelba(args, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    tables.push_back(run.out);
  }
  EXPECT_EQ(Column(tables[0], "id"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(tables[1], tables[0]);
  EXPECT_EQ(tables[2], tables[0]);
  const RunResult missing = RunTrelba({"--gff", "none.gff", "g.fa"}, dir.path());
  EXPECT_EQ(missing.status, 255);
  EXPECT_NE(missing.err.find("none.gff"), std::string::npos);
}

}  // namespace
}  // namespace trelba::test

namespace trelba::test {
namespace {

// Without --gcode the first CDS's /transl_table is the run's code: table 4 reads TGA as
// Trp. With --gcode 1 it is read as a stop, and a warning names --gcode 4.
TEST(AnnotatedInputs, TheTranslationTableIsTheCodeUnlessOneIsGiven) {
  ScratchDir dir;
  WriteFile(dir / "m.gb",
            "LOCUS       m 15 bp DNA linear\nFEATURES             Location/Qualifiers\n"
            "     CDS             1..15\n                     /transl_table=4\n"
            "ORIGIN\n        1 atgtgaaaat ggtaa\n//\n");
  const RunResult own = RunTrelba({"-T", "-", "--no-reports", "m.gb"}, dir.path());
  ASSERT_EQ(own.status, 0) << own.err;
  EXPECT_EQ(Column(own.out, "internal_stops"), std::vector<std::string>{"0"});
  EXPECT_EQ(own.err, "");
  const RunResult given =
      RunTrelba({"-T", "-", "--no-reports", "--gcode", "1", "m.gb"}, dir.path());
  ASSERT_EQ(given.status, 0) << given.err;
  EXPECT_EQ(Column(given.out, "internal_stops"), std::vector<std::string>{"1"});
  EXPECT_NE(given.err.find("--gcode 4"), std::string::npos) << given.err;
}

// A record of 100 MB of features (1.6 million short CDS, some 80 MB as the reader keeps
// them) is read within a memory budget far below it: the features wait in a temporary
// file, and the summary is the one read without a budget.
TEST(AnnotatedInputs, AHundredMegabyteFeatureTableKeepsMemoryBounded) {
  ScratchDir dir;
  std::string genome;
  for (int i = 0; i < 1000; ++i) genome += "atgaaacccgggtttaaataa";
  std::string text =
      "LOCUS       big 21000 bp DNA linear\nFEATURES             Location/Qualifiers\n";
  for (int k = 0; text.size() < (std::size_t{100} << 20); ++k) {
    const int start = 1 + 21 * (k % 999);
    text += "     CDS             " + std::to_string(start) + ".." + std::to_string(start + 20) +
            "\n                     /locus_tag=\"L" + std::to_string(k) + "\"\n";
  }
  text += "ORIGIN\n        1 " + genome + "\n//\n";
  WriteFile(dir / "big.gb", text);
  text.clear();
  text.shrink_to_fit();
  const RunResult free_run =
      RunTrelba({"--summary", "free.tsv", "--no-reports", "big.gb"}, dir.path());
  ASSERT_EQ(free_run.status, 0) << free_run.err;
  RunOptions options;
  options.inject_faults = true;
  options.environment = {{"TRELBA_FAULT", "BUDGET"}, {"TRELBA_FAULT_AT", "40000000"}};
  const RunResult run =
      RunTrelba({"--summary", "budget.tsv", "--no-reports", "big.gb"}, dir.path(), options);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(dir / "budget.tsv"), ReadFile(dir / "free.tsv"));
  EXPECT_GT(std::stoull(Column(ReadFile(dir / "free.tsv"), "sequences").at(0)), 1'300'000u);
}

}  // namespace
}  // namespace trelba::test
