// Each gene's composition, RSCU and amino-acid shares, codon bias index and dinucleotide
// ratios against values worked out by hand (fractions), one table each. The composition
// and CBI cases are also ones codonW was run on, and printed these values for.
#include "analysis/gene_composition.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "analysis/codon_bias_index.hpp"
#include "analysis/dinucleotide_ratios.hpp"
#include "analysis/relative_usage.hpp"
#include "codes/genetic_code.hpp"
#include "codes/ncbi_tables.hpp"
#include "input/codon_reader.hpp"
#include "input/dinucleotide_reader.hpp"

namespace trelba {
namespace {

using Words = std::vector<std::pair<const char*, std::uint64_t>>;

CodonCounts CountsOf(const Words& words) {
  CodonCounts counts{};
  for (const auto& [codon, count] : words) {
    counts[static_cast<std::size_t>(CodonIndexOfName(codon))] = count;
  }
  return counts;
}

bool SameNumber(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || std::abs(a - b) <= 1e-12 * std::abs(b);
}

const double kNa = std::nan("");

struct CompositionCase {
  const char* name;
  int ncbi_table;
  Words counts;
  std::uint64_t l_aa, l_sym;
  double gc1, gc2, gc12;
  std::array<double, 4> third;  // T, C, A, G
  double gravy, aromatic;
};

void PrintTo(const CompositionCase& c, std::ostream* os) {
  *os << c.name;
}

class Composition : public ::testing::TestWithParam<CompositionCase> {};

TEST_P(Composition, IsTheGenesShares) {
  const CompositionCase& c = GetParam();
  const SynonymousCodons s = SynonymousCodonsOf(*NcbiGeneticCode(c.ncbi_table));
  const GeneComposition g = CompositionOf(CompositionCodonsOf(s), CountsOf(c.counts));
  EXPECT_EQ(g.l_aa, c.l_aa);
  EXPECT_EQ(g.l_sym, c.l_sym);
  EXPECT_PRED2(SameNumber, g.gc1, c.gc1);
  EXPECT_PRED2(SameNumber, g.gc2, c.gc2);
  EXPECT_PRED2(SameNumber, g.gc12, c.gc12);
  for (std::size_t b = 0; b < 4; ++b) EXPECT_PRED2(SameNumber, g.third_shares[b], c.third[b]);
  EXPECT_PRED2(SameNumber, g.gravy, c.gravy);
  EXPECT_PRED2(SameNumber, g.aromatic, c.aromatic);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Composition,
    ::testing::Values(
        // ATG TTT TTC TAA GGG TAA: the stops left out; Phe cannot end in A or G.
        CompositionCase{"StopsLeftOut",
                        1,
                        {{"ATG", 1}, {"TTT", 1}, {"TTC", 1}, {"TAA", 2}, {"GGG", 1}},
                        4,
                        3,
                        1.0 / 4,
                        1.0 / 4,
                        2.0 / 8,
                        {1.0 / 3, 1.0 / 3, 0.0, 1.0},
                        (19 + 28 + 28 - 4) / 40.0,
                        2.0 / 4},
        // Ser's AGC counts where Ser could end in A or G (TCA, TCG); Ile cannot end in G.
        CompositionCase{"SixCodonAcidByAminoAcid",
                        1,
                        {{"AGC", 2}, {"GGG", 1}, {"ATT", 1}, {"ATC", 1}},
                        5,
                        5,
                        1.0 / 5,
                        3.0 / 5,
                        4.0 / 10,
                        {1.0 / 5, 3.0 / 5, 0.0 / 5, 1.0 / 3},
                        (-16 - 4 + 90) / 50.0,
                        0.0},
        // Vertebrate mitochondria: TGA is Trp (two codons, both ending in A or G), AGA a
        // stop.
        CompositionCase{"VertebrateMitochondrialTrp",
                        2,
                        {{"TGA", 2}, {"TGG", 1}, {"AGA", 1}},
                        3,
                        3,
                        0.0,
                        1.0,
                        3.0 / 6,
                        {kNa, kNa, 2.0 / 3, 1.0 / 3},
                        -0.9,
                        1.0},
        CompositionCase{
            "OnlyStops", 1, {{"TAA", 3}}, 0, 0, kNa, kNa, kNa, {kNa, kNa, kNa, kNa}, kNa, kNa}));

struct EncRatioCase {
  const char* name;
  double enc, gc3s, ratio;
};

void PrintTo(const EncRatioCase& c, std::ostream* os) {
  *os << c.name;
}

class EncRatioTable : public ::testing::TestWithParam<EncRatioCase> {};

TEST_P(EncRatioTable, IsTheShortfallFromWrightsCurve) {
  EXPECT_PRED2(SameNumber, EncRatio(GetParam().enc, GetParam().gc3s), GetParam().ratio);
}

// At GC3s 1/2 the curve is 2 + 1/2 + 29 / (1/2) = 60.5; at 0, 31.
INSTANTIATE_TEST_SUITE_P(Table, EncRatioTable,
                         ::testing::Values(EncRatioCase{"OnTheCurve", 60.5, 0.5, 0.0},
                                           EncRatioCase{"HalfTheCurve", 30.25, 0.5, 0.5},
                                           EncRatioCase{"AboveTheCurve", 62.0, 0.0, -31.0 / 31},
                                           EncRatioCase{"NoEnc", kNa, 0.5, kNa},
                                           EncRatioCase{"NoGc3s", 40.0, kNa, kNa}));

TEST(RelativeUsage, RscuWithinAminoAcidsAndSharesOfAminoAcids) {
  const SynonymousCodons s = SynonymousCodonsOf(*NcbiGeneticCode(1));
  const CodonCounts counts = CountsOf({{"TTT", 3}, {"TTC", 1}, {"TAA", 1}, {"TGA", 1}, {"ATG", 2}});
  CodonValues rscu;
  CodonRscu(s, counts, rscu);
  const std::map<std::string, double> expected_rscu = {{"TTT", 1.5}, {"TTC", 0.5}, {"TAA", 1.5},
                                                       {"TGA", 1.5}, {"TAG", 0.0}, {"ATG", 1.0},
                                                       {"CTG", kNa}, {"TGG", kNa}};
  for (const auto& [codon, value] : expected_rscu) {
    EXPECT_PRED2(SameNumber, rscu[static_cast<std::size_t>(CodonIndexOfName(codon))], value)
        << codon;
  }
  FamilyValues shares;
  AminoAcidShares(s, counts, shares);
  for (std::size_t a = 1; a <= kFamilyCount; ++a) {
    const std::string_view name = kFamilyNames[a];
    const double expected = name == "stop"  ? kNa
                            : name == "Phe" ? 4.0 / 6
                            : name == "Met" ? 2.0 / 6
                                            : 0.0;
    EXPECT_PRED2(SameNumber, shares[a], expected) << name;
  }
  AminoAcidShares(s, CountsOf({{"TAG", 1}}), shares);
  EXPECT_TRUE(std::isnan(shares[1]));
}

struct CbiCase {
  const char* name;
  std::vector<const char*> optimal;
  Words counts;
  double cbi;
};

void PrintTo(const CbiCase& c, std::ostream* os) {
  *os << c.name;
}

class CodonBias : public ::testing::TestWithParam<CbiCase> {};

TEST_P(CodonBias, IsBennetzenAndHallsIndex) {
  const SynonymousCodons s = SynonymousCodonsOf(*NcbiGeneticCode(1));
  ReferenceUsage usage;
  for (const char* codon : GetParam().optimal) {
    usage.optimal[static_cast<std::size_t>(CodonIndexOfName(codon))] = true;
  }
  EXPECT_PRED2(SameNumber, CodonBiasIndex(CbiCodonsOf(s, usage), CountsOf(GetParam().counts)),
               GetParam().cbi);
}

// Optimal TTC and GGC: each Phe counts 1/2 toward expected, each Gly 1/4; Met and the stop
// are read by no index.
const Words kGeneA = {{"ATG", 1}, {"TTT", 1}, {"TTC", 2}, {"GGG", 1}, {"GGC", 1}, {"TAA", 1}};
const Words kGeneB = {{"TTC", 3}, {"TTT", 1}, {"GGA", 1}, {"GGG", 2}};

INSTANTIATE_TEST_SUITE_P(Table, CodonBias,
                         ::testing::Values(
                             // (3 - 2) / (5 - 2)
                             CbiCase{"AboveEven", {"TTC", "GGC"}, kGeneA, 1.0 / 3},
                             // (3 - 11/4) / (7 - 11/4)
                             CbiCase{"LittleAboveEven", {"TTC", "GGC"}, kGeneB, 1.0 / 17},
                             // (0 - 5/4) / (3 - 5/4)
                             CbiCase{
                                 "BelowEven", {"TTC", "GGC"}, {{"TTT", 2}, {"GGG", 1}}, -5.0 / 7},
                             // Gly with two optimal codons: (3 - 7/2) / (7 - 7/2)
                             CbiCase{"TwoOptimalCodons", {"TTC", "GGC", "GGT"}, kGeneB, -1.0 / 7},
                             CbiCase{"NoCodonRead", {"TTC"}, {{"ATG", 4}, {"GGG", 2}}, kNa}));

struct DinucleotideCase {
  const char* name;
  const char* body;
  std::vector<std::string> pairs;  // "1-2 AC" for each pair counted once, "all" in none
};

void PrintTo(const DinucleotideCase& c, std::ostream* os) {
  *os << c.name;
}

class Dinucleotides : public ::testing::TestWithParam<DinucleotideCase> {};

std::vector<std::string> Listed(const DinucleotideCounts& counts) {
  constexpr const char* kFrames[] = {"1-2", "2-3", "3-1"};
  constexpr const char* kBases = "TCAG";
  std::vector<std::string> pairs;
  for (std::size_t f = 0; f < 3; ++f) {
    for (std::size_t i = 0; i < 16; ++i) {
      for (std::uint64_t n = 0; n < counts[f][i]; ++n) {
        pairs.push_back(std::string(kFrames[f]) + ' ' + kBases[i / 4] + kBases[i % 4]);
      }
    }
  }
  std::sort(pairs.begin(), pairs.end());
  return pairs;
}

TEST_P(Dinucleotides, ArePairsOfBasesByPlaceInTheFrameInPiecesOfAnySize) {
  const std::string body = GetParam().body;
  std::vector<std::string> expected = GetParam().pairs;
  std::sort(expected.begin(), expected.end());
  for (std::size_t cut = 0; cut <= body.size(); ++cut) {
    DinucleotideReader reader;
    CountDinucleotides(reader, body.data(), cut);
    CountDinucleotides(reader, body.data() + cut, body.size() - cut);
    EXPECT_EQ(Listed(PairsRead(reader)), expected) << "cut at " << cut;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Dinucleotides,
    ::testing::Values(
        DinucleotideCase{"Codons", "ACGTAA", {"1-2 AC", "2-3 CG", "3-1 GT", "1-2 TA", "2-3 AA"}},
        DinucleotideCase{"LineEndsAndLowerCase",
                         "ac\nG T\r\naa",
                         {"1-2 AC", "2-3 CG", "3-1 GT", "1-2 TA", "2-3 AA"}},
        // The partial last codon's letters count.
        DinucleotideCase{"PartialCodon",
                         "ACGCGTA",
                         {"1-2 AC", "2-3 CG", "3-1 GC", "1-2 CG", "2-3 GT", "3-1 TA"}},
        // N keeps its place: the pairs beside it count nothing, the frame runs on.
        DinucleotideCase{
            "NotABase", "ACGNCGTAC", {"1-2 AC", "2-3 CG", "2-3 CG", "3-1 GT", "1-2 TA", "2-3 AC"}},
        // Codons across line ends, and a codon with N after whole codons.
        DinucleotideCase{"CodonsAcrossLineEnds",
                         "ACG\nTA\r\nCNGT",
                         {"1-2 AC", "2-3 CG", "3-1 GT", "1-2 TA", "2-3 AC", "2-3 GT"}},
        DinucleotideCase{"OneLetter", "A", {}}));

// Random bodies of bases, other letters, blanks and line ends of every length: the pairs
// read in pieces, and those of a whole body beside its codon counts, are those of its
// letters taken one by one.
TEST(Dinucleotides, ReadInPiecesOrBesideTheCodonsAreThoseOfTheLetters) {
  std::mt19937 random(42);
  constexpr const char* kLetters = "TCAGTCAGTCAGtcagN\n \r";
  for (int round = 0; round < 2000; ++round) {
    const bool clean = round % 2 == 0;  // no letter but bases and blanks
    std::string body;
    const std::size_t size = random() % 120;
    for (std::size_t i = 0; i < size; ++i) {
      const char letter = kLetters[random() % 20];
      body += clean && letter == 'N' ? 'A' : letter;
    }
    DinucleotideCounts model{};
    std::size_t place = 0, previous = kNotBase;  // of the next letter; the last one's class
    for (const char letter : body) {
      const std::size_t cls = kByteClasses[static_cast<unsigned char>(letter)];
      if (cls == kWhitespace) continue;
      if (previous < 4 && cls < 4) ++model[(place + 2) % 3][4 * previous + cls];
      previous = cls;
      place = (place + 1) % 3;
    }
    CodonReader codons;
    CountCodons(codons, body.data(), body.size());
    EXPECT_EQ(PairsOfBody(body.data(), body.size(), codons.counts), model) << body;
    const std::size_t cut = random() % (body.size() + 1);
    DinucleotideReader reader;
    CountDinucleotides(reader, body.data(), cut);
    CountDinucleotides(reader, body.data() + cut, body.size() - cut);
    EXPECT_EQ(PairsRead(reader), model) << body;
  }
}

TEST(DinucleotideRatios, AreObservedOverExpectedOverEachSetOfPairs) {
  // ACG CGT ACG: 1-2 AC CG AC, 2-3 CG GT CG, 3-1 GC TA.
  DinucleotideReader reader;
  const std::string body = "ACGCGTACG";
  CountDinucleotides(reader, body.data(), body.size());
  const DinucleotideRatios r = DinucleotideRatiosOf(PairsRead(reader));
  // All 8 pairs: CG 3 times, C first 3 times, G second 3 times; TA, T first and A second
  // once each.
  const std::vector<std::pair<const char*, double>> expected = {{"cpg", 3.0 * 8 / (3 * 3)},
                                                                {"tpa", 1.0 * 8 / (1 * 1)},
                                                                {"cpg12", 1.0 * 3 / (1 * 1)},
                                                                {"tpa12", kNa},
                                                                {"cpg23", 2.0 * 3 / (2 * 2)},
                                                                {"tpa23", kNa},
                                                                {"cpg31", kNa},
                                                                {"tpa31", 1.0 * 2 / (1 * 1)}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_PRED2(SameNumber, r[i], expected[i].second) << expected[i].first;
  }
}

}  // namespace
}  // namespace trelba
