// The z of the score's excess and of the adaptation on seeded synonymous redraws of real
// genes (each gene's codons drawn again from its file's usage, its amino-acid counts kept):
// z = (value - null mean) / null standard deviation falls beyond the normal's 5 % and 1 %
// points about as often as it should. Deterministic (seeded); the bands are loose so that
// a legitimate change of the sums does not trip them, and tight enough to catch a wrong
// variance (a tenth too large or too small moves the 5 % share by about a point).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "analysis/adaptation_moments.hpp"
#include "analysis/background.hpp"
#include "analysis/expected_score.hpp"
#include "analysis/score_variance.hpp"
#include "analysis/sequence_analysis.hpp"
#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"
#include "synonymous_draws.hpp"

namespace trelba {
namespace {

struct Tails {
  std::uint64_t draws = 0;
  std::uint64_t beyond_196 = 0;
  std::uint64_t beyond_258 = 0;
  double squares = 0.0;

  void Add(double z) {
    ++draws;
    beyond_196 += std::fabs(z) > 1.96 ? 1 : 0;
    beyond_258 += std::fabs(z) > 2.58 ? 1 : 0;
    squares += z * z;
  }
  double Share(std::uint64_t count) const {
    return static_cast<double>(count) / static_cast<double>(draws);
  }
  void Check(const char* what) const {
    std::printf("%s: %llu draws, %.2f %% beyond 1.96, %.2f %% beyond 2.58, mean z^2 %.3f\n", what,
                static_cast<unsigned long long>(draws), 100.0 * Share(beyond_196),
                100.0 * Share(beyond_258), squares / static_cast<double>(draws));
    EXPECT_GT(Share(beyond_196), 0.04) << what;
    EXPECT_LT(Share(beyond_196), 0.065) << what;
    EXPECT_GT(Share(beyond_258), 0.005) << what;
    EXPECT_LT(Share(beyond_258), 0.02) << what;
    EXPECT_NEAR(squares / static_cast<double>(draws), 1.0, 0.05) << what;
  }
};

// The adaptation to a reference usage P (here the first gene's counts, 0.5 added to each),
// against the background Q; codons Q never holds take no part.
CodonValues LogOdds(const SynonymousCodons& synonymous, const CodonCounts& reference,
                    const CodonValues& q) {
  CodonValues weights{};
  for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
    const Family& codons = synonymous.acids[a].codons;
    double total = 0.0;
    for (unsigned m = 0; m < codons.size; ++m) {
      total += static_cast<double>(reference[codons.members[m]]) + 0.5;
    }
    for (unsigned m = 0; m < codons.size; ++m) {
      const std::size_t c = codons.members[m];
      const double p = (static_cast<double>(reference[c]) + 0.5) / total;
      weights[c] = q[c] == 0.0 ? std::nan("") : std::log(p / q[c]);
    }
  }
  return weights;
}

double Adaptation(const AdaptationNull& null, const CodonValues& weights,
                  const CodonCounts& counts) {
  double sum = 0.0;
  double length = 0.0;
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    if (!null.takes_part[c] || counts[c] == 0) continue;
    sum += static_cast<double>(counts[c]) * weights[c];
    length += static_cast<double>(counts[c]);
  }
  return sum / length;
}

TEST(NullCalibration, ZOfRedrawsOfRealGenes) {
  const GeneticCode& code = GeneticCodeNumber(0);
  const SynonymousCodons synonymous = SynonymousCodonsOf(code);
  constexpr int kDraws = 2000;
  Tails excess;
  Tails adaptation;
  std::mt19937_64 random(20261210);
  for (const auto& [file, every] :
       {std::pair<const char*, std::size_t>{"Carsonella_ruddii_DC.prodigal.cds.fna", 20},
        {"Ypestis_pPCP1_NC_005816.ffn", 1},
        {"Mmusculus_p53.cds.fna", 1}}) {
    const std::vector<CodonCounts> genes = test::GenesOf(file);
    ASSERT_FALSE(genes.empty()) << file;
    const Background background = PooledBackground(code, test::Pooled(genes));
    ExpectedOrderCache expected(code, background);
    ScoreVarianceCache variances(code, background);
    const CodonValues weights = LogOdds(synonymous, genes[0], background.q);
    const AdaptationNull null = MakeAdaptationNull(synonymous, weights, background.q);
    for (std::size_t g = 0; g < genes.size(); g += every) {
      SequenceAnalysis analysis;
      AnalyseSequence(code, genes[g], analysis);
      const double mean = ExpectedScore(expected, genes[g], analysis);
      const double sd = std::sqrt(ScoreVariance(variances, genes[g], analysis));
      const NullMoments moments = AdaptationMoments(synonymous, null, genes[g]);
      const double adaptation_sd = std::sqrt(moments.variance);
      if (!(sd > 0.0) || !(adaptation_sd > 0.0)) continue;
      for (int draw = 0; draw < kDraws; ++draw) {
        const CodonCounts counts = test::Redraw(code, background, genes[g], random);
        AnalyseSequence(code, counts, analysis);
        excess.Add((analysis.score - mean) / sd);
        adaptation.Add((Adaptation(null, weights, counts) - moments.mean) / adaptation_sd);
      }
    }
  }
  excess.Check("excess_z");
  adaptation.Check("adaptation_z");
}

}  // namespace
}  // namespace trelba
