// The tails behind the p-values: the incomplete gamma, log-gamma and the normal tail
// against MPFR; and excess_p and adaptation_p on seeded redraws of real genes (each gene's
// codons drawn again from its file's usage, its amino acids kept) fall below 0.05 and 0.01
// about as often as they should in every length band.
#include "analysis/tail_probabilities.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "analysis/excess_tail.hpp"
#include "analysis/expected_score.hpp"
#include "analysis/reference_usage.hpp"
#include "analysis/score_variance.hpp"
#include "analysis/sequence_analysis.hpp"
#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"
#include "mpfr_gamma.hpp"
#include "numeric/gamma_tail.hpp"
#include "synonymous_draws.hpp"

namespace trelba {
namespace {

struct GammaCase {
  double a;
  double x;
};

void PrintTo(const GammaCase& c, std::ostream* os) {
  *os << "a " << c.a << ", x " << c.x;
}

class GammaTail : public ::testing::TestWithParam<GammaCase> {};

TEST_P(GammaTail, AgreesWithMpfr) {
  const auto [a, x] = GetParam();
  const double expected = testing_support::MpfrUpperGammaRegularized(a, x);
  EXPECT_NEAR(UpperGammaRegularized(a, x), expected, expected * 1e-10);
  EXPECT_NEAR(LogGamma(a), testing_support::MpfrLogGamma(a),
              1e-13 * std::fmax(1.0, std::fabs(testing_support::MpfrLogGamma(a))));
}

// Both sides of x = a + 1 (series, continued fraction), shapes from a tenth to the
// thousands a long gene's excess has, tails far out.
INSTANTIATE_TEST_SUITE_P(Table, GammaTail,
                         ::testing::Values(GammaCase{0.1, 0.05}, GammaCase{0.5, 0.02},
                                           GammaCase{0.5, 1.92}, GammaCase{0.5, 40.0},
                                           GammaCase{1.0, 3.0}, GammaCase{2.5, 1.0},
                                           GammaCase{9.99, 10.5}, GammaCase{10.0, 30.0},
                                           GammaCase{37.2, 35.0}, GammaCase{150.0, 130.0},
                                           GammaCase{150.0, 190.0}, GammaCase{1234.5, 1300.0},
                                           GammaCase{1234.5, 1100.0}, GammaCase{20000.0, 20400.0},
                                           GammaCase{3.0, 0.001}, GammaCase{60.0, 400.0}));

TEST(NormalTail, IsHalfTheComplementaryErrorFunction) {
  for (const double z : {-4.0, -1.0, 0.0, 0.3, 1.959963984540054, 2.5758, 6.0, 25.0}) {
    const double expected = 0.5 * std::erfc(z / std::sqrt(2.0));
    EXPECT_NEAR(NormalUpperTail(z), expected, expected * 1e-12) << z;
  }
}

// I_x(a, b) where it has a closed form: x^a, 1 - (1 - x)^b, 3x^2 - 2x^3, and the
// symmetry I_x(a, b) = 1 - I_(1-x)(b, a) far from the centre.
TEST(BetaTail, MatchesItsClosedForms) {
  for (const double x : {1e-6, 0.01, 0.3, 0.5, 0.77, 0.999}) {
    EXPECT_NEAR(BetaRegularized(3.5, 1.0, x), std::pow(x, 3.5), 1e-14) << x;
    EXPECT_NEAR(BetaRegularized(1.0, 7.25, x), 1.0 - std::pow(1.0 - x, 7.25), 1e-14) << x;
    EXPECT_NEAR(BetaRegularized(2.0, 2.0, x), 3.0 * x * x - 2.0 * x * x * x, 1e-14) << x;
    EXPECT_NEAR(BetaRegularized(40.0, 900.0, x) + BetaRegularized(900.0, 40.0, 1.0 - x), 1.0, 1e-12)
        << x;
  }
}

struct Shares {
  std::uint64_t genes = 0;
  std::uint64_t below_05 = 0;
  std::uint64_t below_01 = 0;
  void Add(double p) {
    ++genes;
    below_05 += p < 0.05;
    below_01 += p < 0.01;
  }
};

struct BandCase {
  const char* name;
  std::uint64_t shortest;  // codons
  std::uint64_t longest;
};

void PrintTo(const BandCase& c, std::ostream* os) {
  *os << c.name;
}

class PValuesOfRedraws : public ::testing::TestWithParam<BandCase> {};

TEST_P(PValuesOfRedraws, FallBelowTheirLevelsAsOftenAsTheyShould) {
  const BandCase& band = GetParam();
  const GeneticCode& code = GeneticCodeNumber(0);
  const SynonymousCodons synonymous = SynonymousCodonsOf(code);
  const std::vector<CodonCounts> genes = test::GenesOf("Carsonella_ruddii_DC.prodigal.cds.fna");
  const CodonCounts pooled = test::Pooled(genes);
  const Background background = PooledBackground(code, pooled);
  ExpectedOrderCache expected(code, background);
  ScoreVarianceCache variances(code, background);
  const ExcessTail excess_tail(code, background);
  // A reference of the first ten genes against the file's usage.
  const std::vector<CodonCounts> first(genes.begin(), genes.begin() + 10);
  const AdaptationTail tail(synonymous, UsageAgainst(synonymous, test::Pooled(first), pooled));
  std::mt19937_64 random(20261211);
  const auto codons_of = [](const CodonCounts& gene) {
    std::uint64_t codons = 0;
    for (std::size_t c = 1; c <= kCodonCount; ++c) codons += gene[c];
    return codons;
  };
  std::vector<const CodonCounts*> in_band;
  for (const CodonCounts& gene : genes) {
    const std::uint64_t codons = codons_of(gene);
    if (codons >= band.shortest && codons <= band.longest) in_band.push_back(&gene);
  }
  ASSERT_FALSE(in_band.empty());
  const std::size_t draws = (5000 + in_band.size() - 1) / in_band.size();
  Shares excess, adaptation;
  for (const CodonCounts* kept : in_band) {
    const CodonCounts& gene = *kept;
    SequenceAnalysis analysis;
    AnalyseSequence(code, gene, analysis);
    const double mean = ExpectedScore(expected, gene, analysis);
    const double variance = ScoreVariance(variances, gene, analysis);
    for (std::size_t draw = 0; draw < draws; ++draw) {
      const CodonCounts counts = test::Redraw(code, background, gene, random);
      AnalyseSequence(code, counts, analysis);
      excess.Add(GeneExcessP(excess_tail, counts, analysis, mean, variance));
      adaptation.Add(tail.UpperP(counts));
    }
  }
  for (const auto& [what, shares] :
       {std::pair{"excess_p", &excess}, {"adaptation_p", &adaptation}}) {
    const double n = static_cast<double>(shares->genes);
    const double below_05 = static_cast<double>(shares->below_05) / n;
    const double below_01 = static_cast<double>(shares->below_01) / n;
    std::printf("%s, %s: %llu draws, %.2f %% below 0.05, %.2f %% below 0.01\n", band.name, what,
                static_cast<unsigned long long>(shares->genes), 100.0 * below_05, 100.0 * below_01);
    ASSERT_GE(shares->genes, 5000u) << what;
    EXPECT_NEAR(below_05, 0.05, 0.01) << what;
    EXPECT_NEAR(below_01, 0.01, 0.004) << what;
  }
}

INSTANTIATE_TEST_SUITE_P(Band, PValuesOfRedraws,
                         ::testing::Values(BandCase{"Under100Codons", 0, 99},
                                           BandCase{"From100To400", 100, 400},
                                           BandCase{"Over400", 401, 1u << 30}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trelba
