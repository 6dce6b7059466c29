#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "analysis/frequencies.hpp"
#include "analysis/order.hpp"
#include "analysis/score.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "input/codon_index.hpp"
#include "mpfr_log.hpp"

namespace trelba {
namespace {

std::size_t Codon(const char* name) {
  return static_cast<std::size_t>(CodonIndex(name[0], name[1], name[2]));
}

CodonCounts Counts(std::initializer_list<std::pair<const char*, std::uint64_t>> codons) {
  CodonCounts counts{};
  for (const auto& [name, n] : codons) counts[Codon(name)] = n;
  return counts;
}

SequenceAnalysis Analyse(const char* code_id,
                         std::initializer_list<std::pair<const char*, std::uint64_t>> codons) {
  SequenceAnalysis result;
  AnalyseSequence(SelectGeneticCode(code_id), Counts(codons), result);
  return result;
}

// ln 2 and ln 3 rounded to nearest, as the analysis has them on every platform.
constexpr double kLn2 = 0x1.62e42fefa39efp-1;
constexpr double kLn3 = 0x1.193ea7aad030bp+0;

TEST(Frequencies, ThreeToOneWithinFamily) {
  const auto r = Analyse("0", {{"TTT", 3}, {"TTC", 1}, {"AAA", 4}});
  EXPECT_EQ(r.frequencies[Codon("TTT")], 0.75);
  EXPECT_EQ(r.frequencies[Codon("TTC")], 0.25);
  EXPECT_EQ(r.totals[1], 4.0);
  EXPECT_EQ(r.composition[1], 0.5);  // 4 of the 8 codons in denominator families
}

TEST(Frequencies, Code2DividesAgaAndAggTwiceAndLeavesCtnAsCounts) {
  const auto r = Analyse("2", {{"TAA", 2}, {"AGA", 2}, {"CGT", 1}, {"CTT", 5}});
  // Stop family total 4 makes AGA 0.5; the arginine total is then 1 + 0.5.
  EXPECT_EQ(r.totals[kStopFamily], 4.0);
  EXPECT_EQ(r.totals[11], 1.5);
  EXPECT_EQ(r.frequencies[Codon("AGA")], 0.5 / 1.5);
  EXPECT_EQ(r.frequencies[Codon("CGT")], 1.0 / 1.5);
  EXPECT_EQ(r.frequencies[Codon("CTT")], 5.0);
  EXPECT_EQ(r.composition[2], 0.0);  // leucine is TTA TTG only
}

TEST(Frequencies, Code7PutsAaaWithAspartate) {
  const auto r = Analyse("7", {{"AAA", 1}, {"GAT", 1}, {"AAG", 2}, {"AAT", 1}});
  EXPECT_EQ(r.totals[19], 2.0);
  EXPECT_EQ(r.totals[16], 2.0);
  EXPECT_EQ(r.totals[15], 1.0);
  EXPECT_EQ(r.frequencies[Codon("AAA")], 0.5);
  // AAG alone is a one-codon family, out of the denominator (3), but still has a share.
  EXPECT_EQ(r.composition[16], 2.0 / 3.0);
}

TEST(Frequencies, NoDenominatorCodonsGiveNanAndInfinity) {
  const auto r = Analyse("0", {{"ATG", 2}, {"TGG", 1}});
  EXPECT_TRUE(std::isinf(r.composition[7]) && r.composition[7] > 0);
  EXPECT_TRUE(std::isinf(r.composition[13]) && r.composition[13] > 0);
  EXPECT_TRUE(std::isnan(r.composition[1]));
  EXPECT_TRUE(std::isnan(r.score));
  EXPECT_FALSE(IsListedScore(r.score));
}

TEST(EntropyTerm, HandValues) {
  EXPECT_EQ(EntropyTerm(0.0), 0.0);
  EXPECT_TRUE(std::signbit(EntropyTerm(1.0)));  // -(0 * 1)
  EXPECT_EQ(EntropyTerm(0.5), 0.34657359027997264);
}

TEST(OrderValues, EvenTwoCodonFamilyIsZeroToTheLastBits) {
  const auto r = Analyse("0", {{"TTT", 5}, {"TTC", 5}});
  EXPECT_NEAR(r.order[1], 0.0, 1e-15);
}

TEST(OrderValues, OneCodonUsedGivesOneAndAbsentFamilyGivesOne) {
  const auto r = Analyse("0", {{"GGG", 7}});
  EXPECT_EQ(r.order[21], 1.0);
  EXPECT_EQ(r.order[1], 1.0);
  EXPECT_EQ(r.order[kStopFamily], 0.0);
  EXPECT_EQ(r.order[7], 0.0);  // one-codon families are fixed at 0
  EXPECT_EQ(r.order[13], 0.0);
}

TEST(OrderValues, ExemptTggAloneGoesNegativeUnderTwoCodonTryptophan) {
  for (const char* code : {"1", "2", "3", "4", "7"}) {
    const auto r = Analyse(code, {{"TGG", 3}, {"TTT", 1}});
    EXPECT_EQ(r.order[7], -0.4426950408889634) << code;
    EXPECT_EQ(r.order[7], 1.0 - 1.0 / kLn2);
  }
  EXPECT_EQ(Analyse("0", {{"TGG", 3}}).order[7], 0.0);
}

TEST(OrderValues, ExemptAtgAloneUnderTwoCodonMethionine) {
  for (const char* code : {"1", "2", "4"}) {
    EXPECT_EQ(Analyse(code, {{"ATG", 1}}).order[13], 1.0 - 1.0 / kLn2) << code;
  }
}

TEST(OrderValues, Code6CysteineOneOneTwo) {
  const auto r = Analyse("6", {{"TGT", 1}, {"TGC", 1}, {"TGA", 2}});
  const double expected = 1.0 - ((0.34657359027997264 + 0.34657359027997264) + 0.5) / kLn3;
  EXPECT_EQ(r.order[6], expected);
  EXPECT_NEAR(r.order[6], -0.0860, 1e-4);
}

// Order values once depended on the C library's log: glibc rounds ln(89/106) and 3,500
// other fractions of counts up to 3000 one ulp away from the nearest double, musl and
// mingw-w64 others, and a balanced family (TTT = TTC) printed 0 with one library and
// -2.22045e-16 with another. Each row's order values must be the analysis's expression
// with the correctly rounded logarithm (MPFR's), bit for bit, on every platform; the
// fractions are ones glibc's log misrounds, within the entropy table's totals and beyond.
struct CountsCase {
  const char* name;
  const char* code;
  std::vector<std::pair<const char*, std::uint64_t>> codons;
};

void PrintTo(const CountsCase& c, std::ostream* out) {
  *out << c.name;
}

const CountsCase kLibraryDependentCounts[] = {
    {"Phe89Of106", "0", {{"TTT", 89}, {"TTC", 17}}},
    {"Phe111Of127", "0", {{"TTT", 111}, {"TTC", 16}}},
    {"Phe33Of142", "0", {{"TTT", 33}, {"TTC", 109}}},
    {"Phe3Of353", "0", {{"TTT", 3}, {"TTC", 350}}},
    {"Phe838Of1100", "0", {{"TTT", 838}, {"TTC", 262}}},
    {"Phe355Of1102", "0", {{"TTT", 355}, {"TTC", 747}}},
    {"PheBalanced", "0", {{"TTT", 5}, {"TTC", 5}}},
    {"IleBalanced", "0", {{"ATT", 7}, {"ATC", 7}, {"ATA", 7}}},
    {"LeuBalanced", "0", {{"TTA", 3}, {"TTG", 3}, {"CTT", 3}, {"CTC", 3}, {"CTA", 3}, {"CTG", 3}}},
    {"IleBalancedCode2", "2", {{"ATT", 1}, {"ATC", 1}, {"ATA", 1}}},
};

// The analysis's expression for every family, its logarithms taken from MPFR.
FamilyValues ReferenceOrder(const GeneticCode& code, const CodonCounts& counts) {
  CodonValues frequencies{};
  FamilyValues totals{};
  WithinFamilyFrequencies(code, counts, frequencies, totals);
  FamilyValues order{};
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (code.divisor[f] == 0) continue;
    double entropy = 0.0;
    for (unsigned m = 0; m < code.families[f].size; ++m) {
      const std::size_t codon = code.families[f].members[m];
      const double p = frequencies[codon];
      double term = p;  // exempt codons enter with their frequency
      if (!code.exempt[codon])
        term = p == 0.0 ? 0.0 : (testing_support::MpfrNaturalLog(p) * p) * -1.0;
      entropy = m == 0 ? term : entropy + term;
    }
    order[f] =
        1.0 - entropy / testing_support::MpfrNaturalLog(static_cast<double>(code.divisor[f]));
  }
  return order;
}

class LibraryDependentCounts : public testing::TestWithParam<CountsCase> {};

TEST_P(LibraryDependentCounts, OrderValuesUseTheCorrectlyRoundedLogarithm) {
  const CountsCase& c = GetParam();
  CodonCounts counts{};
  for (const auto& [name, n] : c.codons) counts[Codon(name)] = n;
  const GeneticCode& code = SelectGeneticCode(c.code);
  SequenceAnalysis analysis;
  AnalyseSequence(code, counts, analysis);
  const FamilyValues expected = ReferenceOrder(code, counts);
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(analysis.order[f]),
              std::bit_cast<std::uint64_t>(expected[f]))
        << "family " << f << ": " << analysis.order[f] << ", expected " << expected[f];
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, LibraryDependentCounts, testing::ValuesIn(kLibraryDependentCounts),
                         [](const testing::TestParamInfo<CountsCase>& param) {
                           return std::string(param.param.name);
                         });

TEST(Score, StopCodonsHaveNoInfluence) {
  const auto plain = Analyse("0", {{"TTT", 3}, {"TTC", 1}, {"GGG", 2}});
  const auto stops = Analyse("0", {{"TTT", 3}, {"TTC", 1}, {"GGG", 2}, {"TAA", 9}, {"TGA", 1}});
  EXPECT_EQ(plain.score, stops.score);
}

TEST(Score, WeightsOrderValuesByComposition) {
  // Phenylalanine at 3:1 holds half the codons, glycine at one codon the other half.
  const auto r = Analyse("0", {{"TTT", 3}, {"TTC", 1}, {"GGG", 4}});
  EXPECT_EQ(r.score, 0.5 * r.order[1] + 0.5 * 1.0);
}

TEST(AverageScore, MeanOfPositiveScoresOnly) {
  AverageScore average;
  for (double s : {0.25, 0.0, -0.3, std::nan(""), 0.75}) average.Add(s);
  EXPECT_EQ(average.count, 2u);
  EXPECT_EQ(average.value(), 0.5);
  AverageScore none;
  none.Add(0.0);
  EXPECT_TRUE(none.empty());
}

}  // namespace
}  // namespace trelba
