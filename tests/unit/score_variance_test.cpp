#include "analysis/score_variance.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "analysis/background.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "codes/ncbi_tables.hpp"
#include "synonymous_draws.hpp"

namespace trelba {
namespace {

std::size_t Codon(std::string_view name) {
  return static_cast<std::size_t>(CodonIndexOfName(name));
}

// Within 1e-12 relative; a variance that is 0 exactly may come out of the enumeration as the
// spread of the analysis's rounding.
void ExpectVariance(double variance, double enumerated, const std::string& what) {
  EXPECT_NEAR(variance, enumerated, 1e-12 * enumerated + 1e-28) << what;
}

struct EnumeratedCode {
  const char* name;
  const GeneticCode* code;
  const char* held = "";  // codons of the sequence that are never drawn, one count each
};

void PrintTo(const EnumeratedCode& c, std::ostream* os) {
  *os << c.name;
}

class EveryOutcome : public testing::TestWithParam<EnumeratedCode> {};

// Every family, n = 0 to 6, even and skewed background: Var(O_f) is the probability-weighted
// mean squared deviation of the order values the analysis gives every outcome. Families of
// 2, 3, 4, 6 and 8 codons, exempt codons among drawn ones (Met and Trp under variant 1, the
// stops in Gln under variant 5, TGA in Cys under variant 6), and Arg under variant 2 with
// AGA and AGG held at the sequence's values.
TEST_P(EveryOutcome, VarianceOfTheOrderValues) {
  const GeneticCode& code = *GetParam().code;
  CodonCounts held{};
  for (const char* c = GetParam().held; *c != '\0'; c += c[3] == ' ' ? 4 : 3) {
    ++held[Codon(std::string_view(c, 3))];
  }
  for (const Background& background :
       {EvenBackground(code), PooledBackground(code, test::SkewedCounts())}) {
    ScoreVarianceCache cache(code, background);
    for (std::size_t f = 1; f <= kFamilyCount; ++f) {
      for (std::uint64_t n = 0; n <= 6; ++n) {
        std::vector<std::pair<double, double>> outcomes;  // probability, order value
        CodonCounts one_outcome{};
        test::ForEachOutcome(code, background, f, n, held,
                             [&](const CodonCounts& counts, double p) {
                               SequenceAnalysis analysis;
                               AnalyseSequence(code, counts, analysis);
                               outcomes.emplace_back(p, analysis.order[f]);
                               one_outcome = counts;
                             });
        SequenceAnalysis analysis;
        AnalyseSequence(code, one_outcome, analysis);
        FamilyValues variances{};
        OrderVariances(cache, one_outcome, analysis, variances);
        ExpectVariance(variances[f], test::MomentsOf(outcomes).variance,
                       "family " + std::to_string(f) + ", n " + std::to_string(n));
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    VariantsAndNcbiTables, EveryOutcome,
    testing::Values(EnumeratedCode{"Variant0", &GeneticCodeNumber(0)},
                    EnumeratedCode{"Variant1ExemptTrpAndMet", &GeneticCodeNumber(1)},
                    EnumeratedCode{"Variant2HeldAgaAgg", &GeneticCodeNumber(2), "TAA AGA AGG AGG"},
                    EnumeratedCode{"Variant4EightSerines", &GeneticCodeNumber(4)},
                    EnumeratedCode{"Variant5ExemptStopsInGln", &GeneticCodeNumber(5)},
                    EnumeratedCode{"Variant6ExemptTgaInCys", &GeneticCodeNumber(6)},
                    EnumeratedCode{"Ncbi3EightThreonines", NcbiGeneticCode(3)}),
    [](const testing::TestParamInfo<EnumeratedCode>& param) { return param.param.name; });

// The score's variance, two families drawn at once beside a one-codon family: the
// composition's weights and the families' independence.
TEST(EveryOutcome, ScoreOfTwoFamiliesDrawnTogether) {
  const GeneticCode& code = GeneticCodeNumber(0);
  const Background background = PooledBackground(code, test::SkewedCounts());
  ScoreVarianceCache cache(code, background);
  CodonCounts base{};
  base[Codon("ATG")] = 2;
  std::vector<std::pair<double, double>> outcomes;  // probability, score
  CodonCounts last{};
  test::ForEachOutcome(code, background, 2, 5, base, [&](const CodonCounts& leu, double p_leu) {
    test::ForEachOutcome(code, background, 12, 4, leu, [&](const CodonCounts& counts, double p) {
      SequenceAnalysis analysis;
      AnalyseSequence(code, counts, analysis);
      outcomes.emplace_back(p_leu * p, analysis.score);
      last = counts;
    });
  });
  SequenceAnalysis analysis;
  AnalyseSequence(code, last, analysis);
  ExpectVariance(ScoreVariance(cache, last, analysis), test::MomentsOf(outcomes).variance,
                 "Leu 5, Ile 4, Met 2");
}

// Var(H) of a family of k = 2 or 3 codons all drawn, over every outcome in long double.
long double EveryOutcomeVariance(const std::vector<long double>& q, std::uint64_t n) {
  std::vector<long double> log_factorial(n + 1, 0.0L);
  std::vector<long double> term(n + 1, 0.0L);  // -p ln p of p = x / n
  for (std::uint64_t x = 1; x <= n; ++x) {
    log_factorial[x] = log_factorial[x - 1] + std::log(static_cast<long double>(x));
    const long double p = static_cast<long double>(x) / static_cast<long double>(n);
    term[x] = -p * std::log(p);
  }
  long double moments[2] = {0.0L, 0.0L};
  for (int pass = 0; pass < 2; ++pass) {
    long double sum = 0.0L;
    for (std::uint64_t x = 0; x <= n; ++x) {
      for (std::uint64_t y = 0; y <= (q.size() == 2 ? 0 : n - x); ++y) {
        const std::uint64_t z = n - x - y;
        const auto log_power = [](long double p, std::uint64_t c) {
          return c == 0 ? 0.0L : static_cast<long double>(c) * std::log(p);
        };
        long double log_p = log_factorial[n] - log_factorial[x] - log_factorial[z] +
                            log_power(q[0], x) + log_power(q.back(), z);
        if (q.size() == 3) log_p += log_power(q[1], y) - log_factorial[y];
        const long double h = term[x] + term[y] + term[z];
        sum += std::exp(log_p) * (pass == 0 ? h : (h - moments[0]) * (h - moments[0]));
      }
    }
    moments[pass] = sum;
  }
  return moments[1];
}

// Long families, their sums cut where the rest weighs nothing, under even use and a
// skewed background: Phe beyond the kept counts, Ile from the kept values and, with a
// cache that keeps none so far, from the counts its binomial spans.
TEST(LongFamilies, AgreeWithEveryOutcomeInLongDouble) {
  const GeneticCode& code = GeneticCodeNumber(0);
  for (const Background& background :
       {EvenBackground(code), PooledBackground(code, test::SkewedCounts())}) {
    for (const auto& [family, n, shared] :
         {std::tuple<std::size_t, std::uint64_t, std::uint64_t>{1, 3000, kScoreVarianceSharedTotal},
          {12, 700, kScoreVarianceSharedTotal},
          {12, 700, 100}}) {
      ScoreVarianceCache cache(code, background, shared);
      std::vector<long double> q;
      for (unsigned m = 0; m < code.families[family].size; ++m) {
        q.push_back(background.q[code.families[family].members[m]]);
      }
      const auto exact = static_cast<double>(EveryOutcomeVariance(q, n));
      const double variance = cache.TotalVariance(family, n, static_cast<double>(n)) /
                              static_cast<double>(n) / static_cast<double>(n);
      EXPECT_NEAR(variance, exact, 1e-12 * exact) << "family " << family << ", n " << n;
    }
  }
}

// Families of more members, and exempt codons drawn first, from the kept values and from the
// counts their binomials span: Leu, Ser and Arg (6), the stops and Gln of variant 5 (4, two
// exempt), Ser of variant 4 (8).
TEST(LongFamilies, KeptAndSpannedCountsAgree) {
  for (const auto& [variant, family, n] : {std::tuple<int, std::size_t, std::uint64_t>{0, 2, 600},
                                           {0, 3, 450},
                                           {0, 11, 300},
                                           {5, 10, 500},
                                           {4, 3, 400}}) {
    const GeneticCode& code = GeneticCodeNumber(variant);
    for (const Background& background :
         {EvenBackground(code), PooledBackground(code, test::SkewedCounts())}) {
      ScoreVarianceCache kept(code, background);
      ScoreVarianceCache spanned(code, background, 20);
      const auto total = static_cast<double>(n);
      const double variance = kept.TotalVariance(family, n, total);
      EXPECT_NEAR(spanned.TotalVariance(family, n, total), variance, 1e-12 * variance)
          << "variant " << variant << ", family " << family << ", n " << n;
    }
  }
}

// Each worker's cache has seen other sequences before: the variance of each has the same
// bits whatever came before it (the kept values, and the values beyond them, depend on the
// family and n alone).
TEST(ScoreVariance, SameBitsWhateverCameBefore) {
  const GeneticCode& code = GeneticCodeNumber(0);
  std::vector<CodonCounts> genes = test::GenesOf("Carsonella_ruddii_DC.prodigal.cds.fna");
  CodonCounts longest = test::Pooled(genes);  // families beyond the kept counts
  genes.push_back(longest);
  const Background background = PooledBackground(code, longest);
  ScoreVarianceCache forwards(code, background);
  ScoreVarianceCache backwards(code, background);
  std::vector<double> first(genes.size());
  for (std::size_t g = 0; g < genes.size(); ++g) {
    SequenceAnalysis analysis;
    AnalyseSequence(code, genes[g], analysis);
    first[g] = ScoreVariance(forwards, genes[g], analysis);
  }
  for (std::size_t g = genes.size(); g-- > 0;) {
    SequenceAnalysis analysis;
    AnalyseSequence(code, genes[g], analysis);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(ScoreVariance(backwards, genes[g], analysis)),
              std::bit_cast<std::uint64_t>(first[g]))
        << "gene " << g + 1;
  }
}

}  // namespace
}  // namespace trelba
