// tRNA genes read from tRNAscan-SE's and ARAGORN's outputs, one table of formats; and the
// weights of tAI worked by hand for a genome of one tRNA gene, with and without the
// bacterial reading of AUA.
#include "analysis/trna_adaptation.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "codes/ncbi_tables.hpp"
#include "input/trna_genes_text.hpp"

namespace trelba {
namespace {

struct FormatCase {
  const char* name;
  std::string text;
  bool trnascan;
  std::uint64_t genes;
  const char* codon;  // read by `reading` of the genes
  std::uint64_t reading;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << c.name;
}

class TrnaFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(TrnaFormats, GenesByTheCodonTheyRead) {
  const FormatCase& c = GetParam();
  TrnaGenes genes;
  const std::optional<std::string> error = ReadTrnaGenes(c.text, genes);
  if (c.genes == 0) {
    EXPECT_TRUE(error.has_value());
    return;
  }
  ASSERT_FALSE(error.has_value()) << *error;
  EXPECT_EQ(genes.trnascan, c.trnascan);
  EXPECT_EQ(genes.genes, c.genes);
  EXPECT_EQ(genes.reading[static_cast<std::size_t>(CodonIndexOfName(c.codon))], c.reading);
}

const std::string kTrnascan =
    "Sequence\t\ttRNA\tBounds\ttRNA\tAnti\tIntron Bounds\tInf\t\n"
    "Name    \ttRNA #\tBegin\tEnd\tType\tCodon\tBegin\tEnd\tScore\tNote\n"
    "--------\t------\t-----\t------\t----\t-----\t-----\t----\t------\t------\n"
    "chr1    \t1\t100 \t172\tPhe\tGAA\t0\t0\t80.1\t\n"
    "chr1    \t2\t300 \t372\tPhe\tGAA\t0\t0\t79.0\tpseudo\n"
    "chr1    \t3\t500 \t572\tPseudo\tGAA\t0\t0\t30.2\t\n"
    "chr1    \t4\t700 \t772\tUndet\tNNN\t0\t0\t20.0\t\n"
    "chr2    \t1\t900 \t828\tIle2\tCAT\t0\t0\t70.0\t\n";

INSTANTIATE_TEST_SUITE_P(
    Table, TrnaFormats,
    ::testing::Values(
        FormatCase{"TrnascanPseudogenesLeftOut", kTrnascan, true, 2, "TTC", 1},
        FormatCase{"TrnascanIle2ReadsAtg", kTrnascan, true, 2, "ATG", 1},
        FormatCase{"AragornW",
                   ">chr\n2 genes found\n1   tRNA-Ile               [225381,225457]\t35  \t(gat)\n"
                   "2   tRNA-Met              c[695887,695963]\t35  \t(cat)\n",
                   false, 2, "ATC", 1},
        FormatCase{"AragornDefaultWithANote",
                   "1.\n    tRNA-Arg(acg)\n    77 bases\nOverlap with 2: tRNA-Arg(tcg) "
                   "c[1,2]\n2.\n    tRNA-Arg(tcg)\n",
                   false, 2, "CGT", 1},
        FormatCase{"NoGene", "Number of tRNA genes = 0\n", false, 0, "TTT", 0}),
    [](const auto& test) { return std::string(test.param.name); });

struct WeightCase {
  const char* name;
  int table;
  double ata;  // w of ATA
};

void PrintTo(const WeightCase& c, std::ostream* os) {
  *os << c.name;
}

class TrnaWeightsOfOneGene : public ::testing::TestWithParam<WeightCase> {};

// One tRNA, anticodon GAA, reads TTC (W = 1) and, by G:U, TTT (W = 1 - 0.41); every other
// codon but (in bacteria) ATA has W = 0 and takes the geometric mean of the others' w.
TEST_P(TrnaWeightsOfOneGene, WorkedByHand) {
  CodonCounts reading{};
  reading[static_cast<std::size_t>(CodonIndexOfName("TTC"))] = 1;
  const TrnaWeights weights = WeightsOfTrnaGenes(*NcbiGeneticCode(GetParam().table), reading);
  const auto w = [&](const char* codon) {
    return weights.w[static_cast<std::size_t>(CodonIndexOfName(codon))];
  };
  const double ata = GetParam().ata;
  const double mean = ata == 0 ? std::sqrt(0.59) : std::cbrt(0.59 * ata);
  EXPECT_EQ(w("TTC"), 1.0);
  EXPECT_NEAR(w("TTT"), 0.59, 1e-15);
  EXPECT_NEAR(w("ATA"), ata == 0 ? mean : ata, 1e-15);
  EXPECT_NEAR(w("GGG"), mean, 1e-15);
  EXPECT_FALSE(weights.kept[static_cast<std::size_t>(CodonIndexOfName("ATG"))]);
  EXPECT_FALSE(weights.kept[static_cast<std::size_t>(CodonIndexOfName("TAA"))]);
  CodonCounts gene{};
  gene[static_cast<std::size_t>(CodonIndexOfName("TTC"))] = 1;
  gene[static_cast<std::size_t>(CodonIndexOfName("TTT"))] = 1;
  gene[static_cast<std::size_t>(CodonIndexOfName("ATG"))] = 5;  // left out
  EXPECT_NEAR(TrnaAdaptationIndex(weights, gene), std::sqrt(0.59), 1e-15);
}

INSTANTIATE_TEST_SUITE_P(Table, TrnaWeightsOfOneGene,
                         ::testing::Values(WeightCase{"Eukaryotic", 1, 0.0},
                                           WeightCase{"BacterialAuaByLysidine", 11, 0.11}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trelba
