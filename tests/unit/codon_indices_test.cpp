// ENC, GC3s, CAI, Fop and RSCU against values worked out by hand (fractions), one table
// each.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "analysis/reference_usage.hpp"
#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"
#include "codes/ncbi_tables.hpp"
#include "reports/codon_usage_report.hpp"

namespace trelba {
namespace {

// Counts from "CODON:count" words.
CodonCounts CountsOf(const std::vector<std::pair<const char*, std::uint64_t>>& words) {
  CodonCounts counts{};
  for (const auto& [codon, count] : words) {
    counts[static_cast<std::size_t>(CodonIndexOfName(codon))] = count;
  }
  return counts;
}

bool SameNumber(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || std::abs(a - b) <= 1e-12 * std::abs(b);
}

struct EncCase {
  const char* name;
  std::vector<std::pair<const char*, std::uint64_t>> counts;
  double enc;
  double gc3s;
};

void PrintTo(const EncCase& c, std::ostream* os) {
  *os << c.name;
}

class EffectiveNumber : public ::testing::TestWithParam<EncCase> {};

const double kNa = std::nan("");

// Phe 9:1 F = 4/5; Ile 5:0:1 F = 2/3; Val 8 F = 1; Leu 6:2 F = 4/7.
const std::vector<std::pair<const char*, std::uint64_t>> kEveryClass = {
    {"TTT", 9}, {"TTC", 1}, {"ATT", 5}, {"ATA", 1}, {"GTT", 8},
    {"TTA", 6}, {"CTG", 2}, {"ATG", 1}, {"TGG", 1}, {"TAA", 1}};

TEST_P(EffectiveNumber, IsWrightsEncAndGc3s) {
  const SynonymousCodons s = SynonymousCodonsOf(GeneticCodeNumber(0));
  const CodonCounts counts = CountsOf(GetParam().counts);
  EXPECT_PRED2(SameNumber, EffectiveNumberOfCodons(s, counts), GetParam().enc);
  EXPECT_PRED2(SameNumber, Gc3s(CountSynonymousThirds(s, counts)), GetParam().gc3s);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EffectiveNumber,
    ::testing::Values(
        // 2 + 9 / (4/5) + 1 / (2/3) + 5 / 1 + 3 / (4/7); GC3s: TTC and CTG of 32.
        EncCase{"EveryClass", kEveryClass, 25.0, 3.0 / 32},
        // Tyr 1:1, every codon different: left out of its class's mean.
        EncCase{"AllDifferentLeftOut",
                [] {
                  auto counts = kEveryClass;
                  counts.insert(counts.end(), {{"TAT", 1}, {"TAC", 1}});
                  return counts;
                }(),
                25.0, 4.0 / 34},
        // No Ile: the three-codon class takes (4/5 + 1) / 2.
        EncCase{"MissingThreeCodonClass",
                {{"TTT", 9}, {"TTC", 1}, {"GTT", 8}, {"TTA", 6}, {"CTG", 2}},
                443.0 / 18,
                3.0 / 26},
        EncCase{"MissingTwoCodonClass",
                {{"ATT", 5}, {"ATA", 1}, {"GTT", 8}, {"TTA", 6}, {"CTG", 2}},
                kNa,
                2.0 / 22},
        // Every codon twice: 102 by the formula, capped at the 61 sense codons; 29 of the 59
        // synonymous codons end in G or C.
        EncCase{"CappedAtTheSenseCodons",
                [] {
                  std::vector<std::pair<const char*, std::uint64_t>> counts;
                  static std::vector<std::string> names;
                  names.clear();
                  for (int c = 1; c <= kCodonCount; ++c) names.push_back(CodonName(c));
                  for (const std::string& name : names) counts.emplace_back(name.c_str(), 2);
                  return counts;
                }(),
                61.0, 29.0 / 59},
        EncCase{"NoCodon", {}, kNa, kNa}),
    [](const auto& test) { return std::string(test.param.name); });

struct ReferenceCase {
  const char* name;
  std::vector<std::pair<const char*, std::uint64_t>> gene;
  double cai;
  double fop;
};

void PrintTo(const ReferenceCase& c, std::ostream* os) {
  *os << c.name;
}

class ReferenceIndices : public ::testing::TestWithParam<ReferenceCase> {};

// The reference: Phe TTC 10 (TTT absent: counted 0.5, w = 0.05), Lys AAA 5 AAG 5 (a tie
// for the largest: both w = 1), Asp GAT 6 GAC 4, no Cys. The input: Phe 50:50, Lys 50:50,
// Asp 50:50, Cys 50:50. TTC is optimal (chi-square 110 * 500^2 / (10 * 100 * 60 * 50) =
// 9.17); GAT is not (0.36); AAA and AAG are no commoner in the reference.
const CodonCounts kReference =
    CountsOf({{"TTC", 10}, {"AAA", 5}, {"AAG", 5}, {"GAT", 6}, {"GAC", 4}});
const CodonCounts kInput = CountsOf({{"TTT", 50},
                                     {"TTC", 50},
                                     {"AAA", 50},
                                     {"AAG", 50},
                                     {"GAT", 50},
                                     {"GAC", 50},
                                     {"TGT", 50},
                                     {"TGC", 50}});

TEST_P(ReferenceIndices, AreCaiAndFop) {
  const SynonymousCodons s = SynonymousCodonsOf(GeneticCodeNumber(0));
  const ReferenceUsage usage = UsageAgainst(s, kReference, kInput);
  const GeneIndices indices = IndicesOf(usage, CountsOf(GetParam().gene));
  EXPECT_PRED2(SameNumber, indices.cai, GetParam().cai);
  EXPECT_PRED2(SameNumber, indices.fop, GetParam().fop);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReferenceIndices,
    ::testing::Values(
        // exp((ln 0.05 + 0) / 4) for Phe; Cys (absent from the reference) left out.
        ReferenceCase{"AbsentCodonAndAbsentAminoAcid",
                      {{"TTT", 1}, {"TTC", 3}, {"TGT", 4}},
                      std::pow(0.05, 0.25),
                      0.75},
        ReferenceCase{"TieForTheLargest", {{"AAA", 2}, {"AAG", 3}}, 1.0, kNa},
        // GAT: w 1, GAC: w 4/6; not optimal: Asp has none, so no Fop.
        ReferenceCase{"BelowTheChiSquare", {{"GAC", 2}}, 4.0 / 6, kNa},
        ReferenceCase{"OnlyAnAminoAcidTheReferenceLacks", {{"TGC", 3}}, kNa, kNa}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ReferenceIndices, OptimalCodonsAndAbsentAminoAcids) {
  const SynonymousCodons s = SynonymousCodonsOf(GeneticCodeNumber(0));
  const ReferenceUsage usage = UsageAgainst(s, kReference, kInput);
  std::string optimal;
  for (int c = 1; c <= kCodonCount; ++c) {
    if (usage.optimal[static_cast<std::size_t>(c)]) optimal += CodonName(c) + " ";
  }
  EXPECT_EQ(optimal, "TTC ");
  EXPECT_TRUE(usage.absent[6]);  // Cys
  EXPECT_FALSE(usage.absent[1]);
}

struct ZCase {
  const char* name;
  std::vector<std::pair<const char*, std::uint64_t>> reference, input, gene;
  const char* z;  // "NA", "0" (exactly, +0), or "other" (a number not near 0)
};

void PrintTo(const ZCase& c, std::ostream* os) {
  *os << c.name;
}

class AdaptationZ : public ::testing::TestWithParam<ZCase> {};

// Regression: where the null variance is 0 or the excess over the null mean is 0, both
// were taken from sums that rounding leaves a few units off (a gene its own reference
// printed z = -11.59 and -1.24844, a gene in the input's proportions -7.98479e-16).
TEST_P(AdaptationZ, IsNaOrZeroExactly) {
  const ZCase& c = GetParam();
  const SynonymousCodons s = SynonymousCodonsOf(GeneticCodeNumber(0));
  const ReferenceUsage usage = UsageAgainst(s, CountsOf(c.reference), CountsOf(c.input));
  const double z = IndicesOf(usage, CountsOf(c.gene)).adaptation_z;
  if (c.z == std::string("NA")) {
    EXPECT_TRUE(std::isnan(z)) << z;
  } else if (c.z == std::string("0")) {
    EXPECT_TRUE(z == 0.0 && !std::signbit(z)) << z;
  } else {
    EXPECT_GT(std::abs(z), 0.1);
  }
}

// Phe 3:7, Leu CTG 5 TTA 2 CTT 1, Ala GCC 4 GCT 1 (GCA and GCG absent: 0.5 in the reference).
const std::vector<std::pair<const char*, std::uint64_t>> kUneven = {
    {"TTT", 3}, {"TTC", 7}, {"CTG", 5}, {"TTA", 2}, {"CTT", 1}, {"GCC", 4}, {"GCT", 1}};

INSTANTIATE_TEST_SUITE_P(
    Table, AdaptationZ,
    ::testing::Values(ZCase{"GeneItsOwnReferenceAndInput", kUneven, kUneven, kUneven, "NA"},
                      ZCase{"ReferenceInTheInputsProportions",
                            {{"TTT", 9}, {"TTC", 21}, {"GCC", 8}, {"GCT", 2}},
                            {{"TTT", 3}, {"TTC", 7}, {"GCC", 4}, {"GCT", 1}},
                            {{"TTT", 1}, {"GCC", 2}},
                            "NA"},
                      ZCase{"OneCodonOfEachAminoAcidInTheInput",
                            {{"TTT", 1}, {"TTC", 5}},
                            {{"TTC", 4}, {"CTG", 2}},
                            {{"TTC", 1}, {"CTG", 1}},
                            "NA"},
                      ZCase{"GeneInTheInputsProportions",
                            {{"TTT", 1}, {"TTC", 9}, {"CTG", 3}},
                            {{"TTT", 6}, {"TTC", 4}, {"CTG", 4}, {"TTA", 2}},
                            {{"TTT", 3}, {"TTC", 2}, {"CTG", 2}, {"TTA", 1}},
                            "0"},
                      // Phe's log-odds differ and the gene holds it as the input does; Lys's are
                      // one value (the reference 3:1 as the input), whatever the gene's Lys.
                      ZCase{"InProportionWhereTheLogOddsDiffer",
                            {{"TTT", 2}, {"TTC", 8}, {"AAA", 3}, {"AAG", 1}},
                            {{"TTT", 10}, {"TTC", 10}, {"AAA", 30}, {"AAG", 10}},
                            {{"TTT", 1}, {"TTC", 1}, {"AAG", 2}},
                            "0"},
                      ZCase{"OutOfProportion",
                            {{"TTT", 2}, {"TTC", 8}},
                            {{"TTT", 10}, {"TTC", 10}},
                            {{"TTC", 6}},
                            "other"}),
    [](const auto& test) { return std::string(test.param.name); });

// RSCU = count * k / the amino acid's count: TTT 50 * 2 / 200; stops as one family of
// three; per thousand of the 203 counted codons.
TEST(CodonUsage, RscuAndPerThousand) {
  StringSink sink;
  OutputBuffer out(sink);
  const SynonymousCodons s = SynonymousCodonsOf(GeneticCodeNumber(0));
  WriteCodonUsageRows(out, TableLayout(), "x", s,
                      CountsOf({{"TTT", 50}, {"TTC", 150}, {"TAA", 1}, {"ATG", 2}}), nullptr);
  out.Flush();
  EXPECT_EQ(sink.text.substr(0, sink.text.find('\n', sink.text.find('\n') + 1)),
            "x\tTTT\tPhe\t50\t246.305\t0.5\nx\tTTC\tPhe\t150\t738.916\t1.5");
  EXPECT_NE(sink.text.find("x\tTAA\tstop\t1\t4.92611\t3\n"), std::string::npos);
  EXPECT_NE(sink.text.find("x\tATG\tMet\t2\t9.85222\t1\n"), std::string::npos);
  EXPECT_NE(sink.text.find("x\tTAT\tTyr\t0\t0\tNA\n"), std::string::npos);
}

}  // namespace
}  // namespace trelba
