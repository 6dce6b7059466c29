#include "analysis/expected_score.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <ostream>
#include <random>
#include <vector>

#include "analysis/background.hpp"
#include "analysis/binomial_expectation.hpp"
#include "analysis/order.hpp"
#include "analysis/score_variance.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "codes/ncbi_tables.hpp"
#include "input/codon_index.hpp"
#include "synonymous_draws.hpp"

namespace trelba {
namespace {

std::size_t Codon(const char* name) {
  return static_cast<std::size_t>(CodonIndex(name[0], name[1], name[2]));
}

using test::ForEachOutcome;
using test::SkewedCounts;

struct EnumeratedCode {
  const char* name;
  const GeneticCode* code;
  const char* held = "";  // codons of the sequence that are never drawn, one count each
};

void PrintTo(const EnumeratedCode& c, std::ostream* out) {
  *out << c.name;
}

// Variant 2 with CGT (drawn, in Arg beside AGA and AGG, which are not) and AGA made
// exempt: no built-in code puts an exempt codon in a family that shares codons, where a
// drawn one's expected frequency is n q / total and one not drawn keeps its own.
const GeneticCode* ExemptCodonsInASharedFamily() {
  static const GeneticCode code = [] {
    GeneticCode made = GeneticCodeNumber(2);
    made.exempt[Codon("CGT")] = true;
    made.exempt[Codon("AGA")] = true;
    return made;
  }();
  return &code;
}

class FullEnumeration : public testing::TestWithParam<EnumeratedCode> {};

// Every family, n = 0 to 6, even and skewed background: E[O_f] is the probability-weighted
// mean of the order values the analysis gives every outcome. Under variant 2 that holds
// for Arg with AGA and AGG held at the sequence's values and only CGN drawn.
TEST_P(FullEnumeration, EqualsTheMeanOrderOverEveryOutcome) {
  const GeneticCode& code = *GetParam().code;
  CodonCounts held{};
  for (const char* c = GetParam().held; *c != '\0'; c += c[3] == ' ' ? 4 : 3) ++held[Codon(c)];
  for (const Background& background :
       {EvenBackground(code), PooledBackground(code, SkewedCounts())}) {
    ExpectedOrderCache cache(code, background);
    for (std::size_t f = 1; f <= kFamilyCount; ++f) {
      for (std::uint64_t n = 0; n <= 6; ++n) {
        double mean = 0.0;
        CodonCounts one_outcome{};
        ForEachOutcome(code, background, f, n, held, [&](const CodonCounts& counts, double p) {
          SequenceAnalysis analysis;
          AnalyseSequence(code, counts, analysis);
          mean += p * analysis.order[f];
          one_outcome = counts;
        });
        SequenceAnalysis analysis;
        AnalyseSequence(code, one_outcome, analysis);
        FamilyValues expected{};
        ExpectedOrderValues(cache, one_outcome, analysis, expected);
        ASSERT_NEAR(expected[f], mean, 1e-13) << "family " << f << ", n " << n;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    VariantsAndNcbiTables, FullEnumeration,
    testing::Values(EnumeratedCode{"Variant0", &GeneticCodeNumber(0)},
                    EnumeratedCode{"Variant1ExemptTrpAndMet", &GeneticCodeNumber(1)},
                    EnumeratedCode{"Variant2", &GeneticCodeNumber(2)},
                    EnumeratedCode{"Variant2HeldAgaAgg", &GeneticCodeNumber(2), "TAA AGA AGG AGG"},
                    EnumeratedCode{"ExemptCodonsInASharedFamily", ExemptCodonsInASharedFamily(),
                                   "TAA AGA AGG AGG"},
                    EnumeratedCode{"Variant4EightSerines", &GeneticCodeNumber(4)},
                    EnumeratedCode{"Variant5ExemptStopsInGln", &GeneticCodeNumber(5)},
                    EnumeratedCode{"Variant6ExemptTgaInCys", &GeneticCodeNumber(6)},
                    EnumeratedCode{"Variant7", &GeneticCodeNumber(7)},
                    EnumeratedCode{"Ncbi2", NcbiGeneticCode(2)},
                    EnumeratedCode{"Ncbi3EightThreonines", NcbiGeneticCode(3)},
                    EnumeratedCode{"Ncbi5EightSerines", NcbiGeneticCode(5)},
                    EnumeratedCode{"Ncbi27", NcbiGeneticCode(27)}),
    [](const testing::TestParamInfo<EnumeratedCode>& param) { return param.param.name; });

// The score's expectation, two families drawn at once beside a one-codon family.
TEST(FullEnumeration, ScoreOfTwoFamiliesDrawnTogether) {
  const GeneticCode& code = GeneticCodeNumber(0);
  const Background background = PooledBackground(code, SkewedCounts());
  ExpectedOrderCache cache(code, background);
  CodonCounts base{};
  base[Codon("ATG")] = 2;
  double mean = 0.0;
  CodonCounts last{};
  ForEachOutcome(code, background, 1, 3, base, [&](const CodonCounts& phe, double p_phe) {
    ForEachOutcome(code, background, 12, 4, phe, [&](const CodonCounts& counts, double p) {
      SequenceAnalysis analysis;
      AnalyseSequence(code, counts, analysis);
      mean += p_phe * p * analysis.score;
      last = counts;
    });
  });
  SequenceAnalysis analysis;
  AnalyseSequence(code, last, analysis);
  EXPECT_NEAR(ExpectedScore(cache, last, analysis), mean, 1e-13);
}

TEST(ExpectedEntropyTerm, DegenerateDraws) {
  EXPECT_EQ(ExpectedEntropyTerm(0, 0.5, 0.0), 0.0);
  EXPECT_EQ(ExpectedEntropyTerm(9, 0.0, 9.0), 0.0);                       // never drawn
  EXPECT_EQ(ExpectedEntropyTerm(9, 1.0, 12.0), EntropyTerm(9.0 / 12.0));  // always all
  EXPECT_EQ(ExpectedEntropyTerm(1, 0.25, 1.0), 0.0);                      // c is 0 or n
}

// A score that is NaN (no codon in a denominator family) has a NaN expectation and
// variance; every other one numbers (the variance 0: no family here has two codons drawn).
TEST(ExpectedScore, NanExactlyWhereTheScoreIsNan) {
  const GeneticCode& code = GeneticCodeNumber(0);
  ExpectedOrderCache cache(code, EvenBackground(code));
  ScoreVarianceCache variances(code, EvenBackground(code));
  const std::vector<std::vector<const char*>> sequences = {
      {}, {"ATG"}, {"ATG", "TGG", "TAA"}, {"TTT"}, {"ATG", "GGG", "TAA"}};
  for (const auto& codons : sequences) {
    CodonCounts counts{};
    for (const char* c : codons) ++counts[Codon(c)];
    SequenceAnalysis analysis;
    AnalyseSequence(code, counts, analysis);
    EXPECT_EQ(std::isnan(ExpectedScore(cache, counts, analysis)), std::isnan(analysis.score))
        << codons.size() << " codons";
    const double variance = ScoreVariance(variances, counts, analysis);
    EXPECT_TRUE(std::isnan(analysis.score) ? std::isnan(variance) : variance == 0.0)
        << codons.size() << " codons";
  }
}

TEST(Background, PooledCountsEvenFallbackAndSharedCodons) {
  const GeneticCode& code = GeneticCodeNumber(2);
  CodonCounts pooled{};
  pooled[Codon("TTT")] = 3;
  pooled[Codon("TTC")] = 1;
  pooled[Codon("CGT")] = 2;
  pooled[Codon("AGA")] = 100;  // shared: never drawn, so it weighs nothing
  const Background b = PooledBackground(code, pooled);
  EXPECT_EQ(b.q[Codon("TTT")], 0.75);
  EXPECT_EQ(b.q[Codon("CGT")], 1.0);
  EXPECT_EQ(b.q[Codon("AGA")], 0.0);
  EXPECT_FALSE(b.drawn[Codon("AGG")]);
  EXPECT_EQ(b.q[Codon("GGA")], 0.25);  // Gly had no codon: even use
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    // Flagged: every family with an order value but Phe and Arg; not stop, Met, Trp.
    EXPECT_EQ(b.even_fallback[f], f != 1 && f != 11 && code.divisor[f] != 0) << f;
  }
  EXPECT_EQ(EvenBackground(code).q[Codon("CGA")], 0.25);  // CGN: four drawn codons
  EXPECT_EQ(EvenBackground(GeneticCodeNumber(0)).q[Codon("AGG")], 1.0 / 6.0);
}

// Real genes: the mean score over seeded synonymous redraws agrees with the expectation
// within four standard errors, under even use and under the file's pooled usage.
TEST(ExpectedScore, MeanOfSynonymousRedrawsOfRealGenes) {
  const GeneticCode& code = GeneticCodeNumber(0);
  for (const char* file : {"Ypestis_pPCP1_NC_005816.ffn", "Mmusculus_p53.cds.fna",
                           "biopython_lavender_crlf.nu", "HIV1_NC_001802_lowercase.fna"}) {
    const std::vector<CodonCounts> genes = test::GenesOf(file);
    ASSERT_FALSE(genes.empty()) << file;
    const CodonCounts pooled = test::Pooled(genes);
    for (const Background& background : {EvenBackground(code), PooledBackground(code, pooled)}) {
      ExpectedOrderCache cache(code, background);
      std::mt19937_64 random(20261209);
      for (std::size_t g = 0; g < genes.size() && g < 3; ++g) {
        SequenceAnalysis analysis;
        AnalyseSequence(code, genes[g], analysis);
        const double expected = ExpectedScore(cache, genes[g], analysis);
        constexpr int kDraws = 4000;
        double sum = 0.0;
        double squares = 0.0;
        for (int draw = 0; draw < kDraws; ++draw) {
          SequenceAnalysis redrawn;
          AnalyseSequence(code, test::Redraw(code, background, genes[g], random), redrawn);
          sum += redrawn.score;
          squares += redrawn.score * redrawn.score;
        }
        const double mean = sum / kDraws;
        const double error = std::sqrt((squares / kDraws - mean * mean) / (kDraws - 1));
        EXPECT_NEAR(mean, expected, 4.0 * error) << file << " gene " << g + 1;
      }
    }
  }
}

}  // namespace
}  // namespace trelba
