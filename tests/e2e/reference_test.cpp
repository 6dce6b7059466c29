// The indices against a reference set: a set found in the input recovers planted highly
// expressed genes, and is taken from the other start when the excess leads to a group of
// AT-rich genes; every output is the same at every thread count; a reference file's rows
// come first in the codon usage.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "compress.hpp"
#include "planted_genome.hpp"
#include "run_tool.hpp"

namespace trelba::test {
namespace {

std::vector<std::vector<std::string>> Rows(const std::string& tsv) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(tsv);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string>& cells = rows.emplace_back();
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
  }
  return rows;
}

// The value of `column` in every row but the header.
std::vector<std::string> Column(const std::vector<std::vector<std::string>>& rows,
                                const std::string& column) {
  std::size_t at = 0;
  while (rows[0][at] != column) ++at;
  std::vector<std::string> values;
  for (std::size_t r = 1; r < rows.size(); ++r) values.push_back(rows[r][at]);
  return values;
}

struct PlantedCase {
  const char* name;
  bool decoy;
  std::string chosen;   // the summary's reference
  std::string warning;  // a warning the run gives, or ""
};

void PrintTo(const PlantedCase& c, std::ostream* os) {
  *os << c.name;
}

class PlantedGenomes : public ::testing::TestWithParam<PlantedCase> {};

TEST_P(PlantedGenomes, ReferenceFoundIsThePlantedGenes) {
  const PlantedCase& c = GetParam();
  ScratchDir dir;
  WriteFile(dir / "genome.fa", PlantedGenome(c.decoy));
  const RunResult run = RunTrelba(
      {"--no-reports", "-T", "t.tsv", "--summary", "s.tsv", "--reference", "auto", "genome.fa"},
      dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  if (c.warning.empty()) {
    EXPECT_EQ(run.err, "");
  } else {
    EXPECT_NE(run.err.find(c.warning), std::string::npos) << run.err;
  }
  const auto table = Rows(ReadFile(dir / "t.tsv"));
  const std::vector<std::string> ids = Column(table, "id");
  const std::vector<std::string> marks = Column(table, "in_reference");
  std::vector<std::string> found;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    if (marks[i] == "1") found.push_back(ids[i]);
  }
  std::vector<std::string> planted;
  for (int g = 100; g < 470; g += 37) planted.push_back("heg" + std::to_string(g));
  EXPECT_EQ(found, planted);
  EXPECT_EQ(Column(Rows(ReadFile(dir / "s.tsv")), "reference")[0], c.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlantedGenomes,
    // The planted genes prefer C: they are the GC3-richest genes too.
    ::testing::Values(PlantedCase{"FromTheTopExcess", false, "auto:A", "the tail of GC3s"},
                      // The AT-rich group has the highest excess and prefers T-ending codons:
                      // start A stays there, its sign is negative, start B's is not.
                      PlantedCase{"AtRichDecoyTakesTheOtherStart", true, "auto:B",
                                  "the reference found from two starts differs"}),
    [](const auto& test) { return std::string(test.param.name); });

// A set found in a genome of no selection is no stronger than the sets found in its codons
// drawn at random, and is said to be; the planted genes are far stronger. A reference file
// has no such figure.
struct ChanceCase {
  const char* name;
  bool plant;
  const char* reference;
  bool stronger;  // chance_z at least 3 (NA for a file)
};

void PrintTo(const ChanceCase& c, std::ostream* os) {
  *os << c.name;
}

class ChanceOfTheSet : public ::testing::TestWithParam<ChanceCase> {};

TEST_P(ChanceOfTheSet, SaysWhetherItIsStrongerThanChance) {
  const ChanceCase& c = GetParam();
  ScratchDir dir;
  const std::string genome = PlantedGenome(false, c.plant);
  WriteFile(dir / "genome.fa", genome);
  WriteFile(dir / "heg.fa", genome.substr(0, genome.find(">g150")));
  const RunResult run = RunTrelba(
      {"--no-reports", "--summary", "s.tsv", "--reference", c.reference, "genome.fa"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  const auto summary = Rows(ReadFile(dir / "s.tsv"));
  const std::string z = Column(summary, "chance_z")[0];
  const bool warned = run.err.find("no stronger than those found") != std::string::npos;
  EXPECT_EQ(Column(summary, "reference_route")[0],
            std::string(c.reference) == "auto" ? "codons" : "file");
  if (std::string(c.reference) != "auto") {
    EXPECT_EQ(z, "NA");
    EXPECT_EQ(Column(summary, "gc3s_above")[0], "NA");
    EXPECT_FALSE(warned) << run.err;
  } else {
    EXPECT_EQ(std::stod(z) >= 3.0, c.stronger) << z;
    EXPECT_EQ(warned, !c.stronger) << run.err;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, ChanceOfTheSet,
                         ::testing::Values(ChanceCase{"PlantedGenes", true, "auto", true},
                                           ChanceCase{"NoSelection", false, "auto", false},
                                           ChanceCase{"ReferenceFile", true, "heg.fa", false}),
                         [](const auto& test) { return std::string(test.param.name); });

// The genes whose headers name the translation machinery are the reference when there are
// 20 or more (the planted ones and as many ordinary ones), told against their own codons
// drawn at random; fewer, or mitochondrial paralogs, leave the search by codons.
struct NamedCase {
  const char* name;
  bool plant;
  int named;            // genes named: the 10 planted ones first, then g700, g701 ...
  const char* product;  // what their headers name
  std::string route;
  bool stronger;  // chance_z at least 3
};

void PrintTo(const NamedCase& c, std::ostream* os) {
  *os << c.name;
}

class NamedReference : public ::testing::TestWithParam<NamedCase> {};

TEST_P(NamedReference, TakesTheGenesTheHeadersName) {
  const NamedCase& c = GetParam();
  std::string genome = PlantedGenome(false, c.plant);
  std::vector<std::string> named;
  for (int g = 0; g < c.named; ++g) {
    const int gene = g < 10 ? 100 + 37 * g : 700 + g - 10;
    const std::string id = (c.plant && g < 10 ? "heg" : "g") + std::to_string(gene);
    const std::size_t at = genome.find(">" + id + "\n");
    ASSERT_NE(at, std::string::npos) << id;
    genome.insert(at + 1 + id.size(), std::string(" [protein=") + c.product + "]");
    named.push_back(id);
  }
  ScratchDir dir;
  WriteFile(dir / "genome.fa", genome);
  const RunResult run = RunTrelba(
      {"--no-reports", "-T", "t.tsv", "--summary", "s.tsv", "--reference", "auto", "genome.fa"},
      dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  const auto summary = Rows(ReadFile(dir / "s.tsv"));
  EXPECT_EQ(Column(summary, "reference_route")[0], c.route);
  if (c.route != "names") return;
  EXPECT_EQ(Column(summary, "reference")[0], "auto:names");
  EXPECT_EQ(Column(summary, "reference_genes")[0], std::to_string(c.named));
  const auto table = Rows(ReadFile(dir / "t.tsv"));
  const std::vector<std::string> ids = Column(table, "id");
  const std::vector<std::string> marks = Column(table, "in_reference");
  std::vector<std::string> found;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    if (marks[i] == "1") found.push_back(ids[i]);
  }
  EXPECT_EQ(found, named);
  EXPECT_EQ(std::stod(Column(summary, "chance_z")[0]) >= 3.0, c.stronger);
  EXPECT_EQ(run.err.find("no stronger than its own codons") == std::string::npos, c.stronger)
      << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Table, NamedReference,
    ::testing::Values(NamedCase{"PlantedAndOrdinary", true, 20, "50S ribosomal protein L2", "names",
                                true},
                      NamedCase{"NoSelection", false, 20, "Elongation factor Tu", "names", false},
                      NamedCase{"TooFew", true, 19, "30S ribosomal protein S6", "codons", true},
                      NamedCase{"Mitochondrial", true, 20,
                                "39S ribosomal protein L2, mitochondrial", "codons", true}),
    [](const auto& test) { return std::string(test.param.name); });

// Where no header names the translation machinery, the genes whose proteins resemble the
// panel's are the reference: M. tuberculosis's listed ribosomal-protein and elongation-factor
// genes behind bare numbers, E. coli's (a genome the panel does not hold), and the same
// genes with their codons read backwards (no protein like them) fall back to the codons.
struct HomologyCase {
  const char* name;
  const char* genome;  // tests/data/genomes, gzipped
  const char* listed;  // its list of such genes, or "" when not checked
  bool backwards;      // each gene's codons in reverse order
  std::string route;
  unsigned at_least;  // genes taken
};

void PrintTo(const HomologyCase& c, std::ostream* os) {
  *os << c.name;
}

class HomologyReference : public ::testing::TestWithParam<HomologyCase> {};

TEST_P(HomologyReference, TakesTheGenesLikeThePanel) {
  const HomologyCase& c = GetParam();
  const std::filesystem::path data = TestData() / "genomes";
  const auto text = Decompress(CompressionFormat::kGzip, ReadFile(data / c.genome));
  ASSERT_TRUE(text.has_value());
  // Headers become g1, g2 ...; the listed genes' numbers are kept.
  std::istringstream in(*text);
  std::vector<std::string> ids;
  std::string line, genome, body;
  const auto flush = [&] {
    if (c.backwards) {
      std::string reversed;
      for (std::size_t i = body.size() / 3; i-- > 0;) reversed.append(body, i * 3, 3);
      body = reversed;
    }
    genome += body + "\n";
    body.clear();
  };
  while (std::getline(in, line)) {
    if (line.rfind('>', 0) == 0) {
      if (!ids.empty()) flush();
      const std::size_t end = std::min(line.find_first_of(" \t"), line.size());
      ids.push_back(line.substr(1, end - 1));
      genome += ">g" + std::to_string(ids.size()) + "\n";
    } else {
      body += line;
    }
  }
  flush();
  std::vector<std::string> listed;
  if (*c.listed != '\0') {
    std::istringstream list(ReadFile(data / c.listed));
    std::string id;
    while (list >> id) {
      for (std::size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] == id) listed.push_back(std::string(1, 'g').append(std::to_string(i + 1)));
      }
    }
    std::sort(listed.begin(), listed.end());
  }
  ScratchDir dir;
  WriteFile(dir / "genome.fa", genome);
  const RunResult run = RunTrelba({"--gcode", "11", "--no-reports", "-T", "t.tsv", "--summary",
                                   "s.tsv", "--reference", "auto", "genome.fa"},
                                  dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  const auto summary = Rows(ReadFile(dir / "s.tsv"));
  EXPECT_EQ(Column(summary, "reference_route")[0], c.route);
  if (c.route != "homology") return;
  EXPECT_EQ(Column(summary, "reference")[0], "auto:homology");
  const auto table = Rows(ReadFile(dir / "t.tsv"));
  const std::vector<std::string> id_column = Column(table, "id");
  const std::vector<std::string> marks = Column(table, "in_reference");
  std::vector<std::string> found;
  for (std::size_t i = 0; i < id_column.size(); ++i) {
    if (marks[i] == "1") found.push_back(id_column[i]);
  }
  std::sort(found.begin(), found.end());
  EXPECT_GE(found.size(), c.at_least);
  EXPECT_EQ(Column(summary, "reference_genes")[0], std::to_string(found.size()));
  if (!listed.empty()) {
    EXPECT_EQ(found, listed);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, HomologyReference,
    ::testing::Values(HomologyCase{"Listed", "Mtuberculosis_H37Rv.cds.fna.gz",
                                   "Mtuberculosis_H37Rv.heg.ids", false, "homology", 61},
                      HomologyCase{"NotInThePanel", "Ecoli_K12_MG1655.prodigal.cds.fna.gz", "",
                                   false, "homology", 55},
                      HomologyCase{"Backwards", "Mtuberculosis_H37Rv.cds.fna.gz", "", true,
                                   "codons", 0}),
    [](const auto& test) { return std::string(test.param.name); });

struct OutputsCase {
  const char* name;
  std::vector<std::string> options;
};

void PrintTo(const OutputsCase& c, std::ostream* os) {
  *os << c.name;
}

class ReferenceOutputs : public ::testing::TestWithParam<OutputsCase> {};

TEST_P(ReferenceOutputs, AreTheSameAtEveryThreadCount) {
  ScratchDir dir;
  const std::string genome = PlantedGenome(true);
  WriteFile(dir / "genome.fa", genome);
  WriteFile(dir / "heg.fa", genome.substr(0, genome.find(">g150")));
  std::vector<std::string> first;
  for (const char* threads : {"1", "2", "3"}) {
    std::vector<std::string> args = GetParam().options;
    args.insert(args.end(), {"-j", threads, "-T", "t.tsv", "--summary", "s.tsv", "--codon-usage",
                             "u.tsv", "--report", "r.html", "-o", "out/", "genome.fa"});
    const RunResult run = RunTrelba(args, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> outputs;
    for (const char* name : {"t.tsv", "s.tsv", "u.tsv", "r.html", "out/genome.fa.iik"}) {
      outputs.push_back(ReadFile(dir / name));
    }
    if (first.empty()) first = outputs;
    EXPECT_TRUE(outputs == first) << threads << " threads";
  }
}

INSTANTIATE_TEST_SUITE_P(Table, ReferenceOutputs,
                         ::testing::Values(OutputsCase{"Found", {"--reference", "auto"}},
                                           OutputsCase{"File", {"--reference", "heg.fa"}},
                                           OutputsCase{
                                               "FoundUnderTheInputsBackground",
                                               {"--reference", "auto", "--background", "input"}}),
                         [](const auto& test) { return std::string(test.param.name); });

// The reference file's own rows come first; an amino acid it lacks is said once, left out
// of CAI (NA w) and still read by adaptation; standard input is read once.
TEST(ReferenceFile, RowsFirstMissingAminoAcidSaidAndStandardInputReadOnce) {
  ScratchDir dir;
  const std::string genome = PlantedGenome(false);
  WriteFile(dir / "genome.fa", genome);
  // No Cys: TGT, TGC.
  WriteFile(dir / "heg.fa", ">r1\nATGTTTTTCAAACCCGGGTAA\n");
  const RunResult run = RunTrelba({"--no-reports", "-T", "t.tsv", "--codon-usage", "u.tsv",
                                   "--reference", "heg.fa", "genome.fa"},
                                  dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("Warning: heg.fa: the reference set has no codon of Leu, Ser, Tyr, Cys"),
            std::string::npos)
      << run.err;
  const auto usage = Rows(ReadFile(dir / "u.tsv"));
  ASSERT_EQ(usage.size(), 1u + 64u + 64u);
  EXPECT_EQ(usage[1][0], "heg.fa");
  EXPECT_EQ(usage[65][0], "genome.fa");
  EXPECT_EQ(Column(usage, "w")[12], "NA");  // TGT, of Cys
  const RunResult piped = RunTrelbaPiped(
      {"--no-reports", "-T", "-", "--reference", "heg.fa", "--label", "genome.fa", "-"}, dir.path(),
      genome);
  ASSERT_EQ(piped.status, 0) << piped.err;
  EXPECT_TRUE(piped.out == ReadFile(dir / "t.tsv"));
}

// Regression: with no gene to take, reference_s was a number of the input's counts against
// none.
TEST(ReferenceFound, NoneLeavesEveryFigureOfTheReferenceNa) {
  ScratchDir dir;
  WriteFile(dir / "short.fa", ">a\nATGTTTTTCAAATAA\n>b\nATGCCCGGGTAA\n");
  const RunResult run = RunTrelba(
      {"--no-reports", "-T", "t.tsv", "--summary", "s.tsv", "--reference", "auto", "short.fa"},
      dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("short.fa: no sequence has 80 codons"), std::string::npos) << run.err;
  const auto summary = Rows(ReadFile(dir / "s.tsv"));
  EXPECT_EQ(Column(summary, "reference")[0], "auto");
  for (const char* column : {"reference_rounds", "reference_s", "starts_agree", "median_cai"}) {
    EXPECT_EQ(Column(summary, column)[0], "NA") << column;
  }
  EXPECT_EQ(Column(Rows(ReadFile(dir / "t.tsv")), "adaptation_z"),
            (std::vector<std::string>{"NA", "NA"}));
}

}  // namespace
}  // namespace trelba::test
