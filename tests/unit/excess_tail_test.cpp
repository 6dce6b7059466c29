// The saddlepoint p-value of a short gene's excess against every outcome of its null: the
// gene's drawn codons redrawn family by family, each outcome's score from the analysis.
#include "analysis/excess_tail.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/background.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "synonymous_draws.hpp"

namespace trelba {
namespace {

CodonCounts CountsOf(std::string_view codons) {
  CodonCounts counts{};
  for (std::size_t i = 0; i + 3 <= codons.size(); i += 4) {
    ++counts[static_cast<std::size_t>(CodonIndexOfName(codons.substr(i, 3)))];
  }
  return counts;
}

// P(score' >= score) and P(score' > score) over every outcome of the gene's null.
struct ExactTail {
  double at_or_above = 0.0;
  double above = 0.0;
};

ExactTail EveryOutcome(const GeneticCode& code, const Background& background,
                       const CodonCounts& gene) {
  SequenceAnalysis analysis;
  AnalyseSequence(code, gene, analysis);
  const double score = analysis.score;
  const double tie = 1e-12;
  std::vector<std::size_t> families;
  CodonCounts base = gene;
  std::vector<std::uint64_t> drawn;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    std::uint64_t n = 0;
    const Family& family = code.families[f];
    for (unsigned m = 0; m < family.size; ++m) {
      if (background.drawn[family.members[m]]) n += std::exchange(base[family.members[m]], 0);
    }
    if (n == 0) continue;
    families.push_back(f);
    drawn.push_back(n);
  }
  ExactTail tail;
  std::function<void(std::size_t, const CodonCounts&, double)> next =
      [&](std::size_t i, const CodonCounts& counts, double p) {
        if (i == families.size()) {
          AnalyseSequence(code, counts, analysis);
          if (analysis.score >= score - tie) tail.at_or_above += p;
          if (analysis.score > score + tie) tail.above += p;
          return;
        }
        test::ForEachOutcome(code, background, families[i], drawn[i], counts,
                             [&](const CodonCounts& more, double q) { next(i + 1, more, p * q); });
      };
  next(0, base, 1.0);
  return tail;
}

struct GeneCase {
  const char* name;
  int variant;
  bool even;  // even background, else the skewed one
  const char* codons;
};

void PrintTo(const GeneCase& c, std::ostream* os) {
  *os << c.name;
}

class AgainstEveryOutcome : public testing::TestWithParam<GeneCase> {};

// Between P(score' > score) and P(score' >= score), give or take a quarter: the saddlepoint
// smooths the outcomes' steps, which are coarse for genes as short as these. Families of 2,
// 3, 4 and 6 codons; exempt codons among the drawn ones (Met under variant 1, the stops in
// Gln under variant 5); genes in the middle and in the upper tail of their null, and at its
// ends, where the p-value is exact.
TEST_P(AgainstEveryOutcome, FallsWithinTheOutcomesStep) {
  const GeneCase& c = GetParam();
  const GeneticCode& code = GeneticCodeNumber(c.variant);
  const Background background =
      c.even ? EvenBackground(code) : PooledBackground(code, test::SkewedCounts());
  const CodonCounts gene = CountsOf(c.codons);
  SequenceAnalysis analysis;
  AnalyseSequence(code, gene, analysis);
  const ExcessTail tail(code, background);
  const double p = tail.UpperP(gene, analysis);
  const ExactTail exact = EveryOutcome(code, background, gene);
  std::printf("%s: saddlepoint %.6g, exact %.6g to %.6g\n", c.name, p, exact.above,
              exact.at_or_above);
  EXPECT_GE(p, 0.75 * exact.above);
  EXPECT_LE(p, 1.25 * exact.at_or_above);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AgainstEveryOutcome,
    ::testing::Values(
        GeneCase{"Middle", 0, true, "CTG CTG CTT TTA CCC CCC GGG GGT GGA AAA AAG ATT ATT"},
        GeneCase{"Bottom", 0, true, "CTG CTT CTA TTA CCC CCG GGG GGT GGA AAA AAG ATT ATC"},
        GeneCase{"UpperTail", 0, false, "CTT CTT CTT CTT CCC CCC GGG GGG GGA AAA AAA ATT ATT"},
        GeneCase{"Skewed", 0, false, "CTT CTA TTG TTA CCA CCG GGT GGC GAA GAA TAT TAT TCC AGC"},
        GeneCase{"ExemptMet", 1, true, "ATA ATG ATG ATG CTG TTG CCA CCC CCC GCT GCT"},
        GeneCase{"ExemptStopsInGln", 5, false, "TAA TAG CAA CAG CAG CAG GGG GGA TTT TTT"},
        GeneCase{"Top", 0, false, "CTT CTT CTT CTT CCC CCC CCC GGA GGA AAA AAA ATT ATT"}),
    [](const auto& test) { return std::string(test.param.name); });

struct LeftCase {
  const char* name;
  const char* codons;
  std::size_t copies;
  bool kept;  // the gene gets a p-value here
};

void PrintTo(const LeftCase& c, std::ostream* os) {
  *os << c.name;
}

class LeftToTheBeta : public testing::TestWithParam<LeftCase> {};

// Genes beyond the saddlepoint's length, genes of a codon the background never draws and
// genes of no spread get no p-value here (their excess takes the beta).
TEST_P(LeftToTheBeta, WhereTheSaddlepointCannotServe) {
  const GeneticCode& code = GeneticCodeNumber(0);
  const Background background = PooledBackground(code, test::SkewedCounts());
  CodonCounts gene{};
  const CodonCounts one = CountsOf(GetParam().codons);
  for (std::size_t c = 0; c <= kCodonCount; ++c) gene[c] = one[c] * GetParam().copies;
  SequenceAnalysis analysis;
  AnalyseSequence(code, gene, analysis);
  const double p = ExcessTail(code, background).UpperP(gene, analysis);
  EXPECT_EQ(p == p, GetParam().kept) << p;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LeftToTheBeta,
    ::testing::Values(LeftCase{"AtTheLength", "CTT CCC GGA AAA", 25, true},  // 100 codons
                      LeftCase{"BeyondTheLength", "CTT CCC GGA AAA ATT", 21, false},
                      LeftCase{"NeverDrawn", "CTT CCC CTG GGA", 1, false},  // CTG's q is 0
                      LeftCase{"NoSpread", "ATG TGG ATG", 1, false}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trelba
