// The p-value of a short gene's excess from the exact null of its score: the codons of each
// family drawn anew from the background (Multinomial(n_f, q), as expected_score.hpp and
// score_variance.hpp have it), families independent, the composition held fixed.
//
// The score is a constant plus sum_f G_f / (D ln k_f), D the composition's denominator and
// G_f = sum x ln x over the family's drawn codons, plus x_E (ln T - 1) for its drawn exempt
// codons together (x_E of them, T the family total). So P(score' >= score) is P(Z >= z) for
// Z = sum_f G_f / ln k_f, a sum of independent discrete variables whose cumulant generating
// function is exact: each family's E[e^(t G_f / ln k_f)] and its first two derivatives are
// taken over the chain of draw_order.hpp (member i takes x ~ Binomial(m, its share), the
// rest go on), every count walked. The p-value is Lugannani-Rice at the saddlepoint
// (saddlepoint.hpp); at the top of Z's range the exact probability.
//
// On redraws of five genomes the beta of ExcessP was too liberal for genes under 100 codons
// (about 6.6 % below 0.05 and 1.4 % below 0.01); the saddlepoint of the exact null gives 5.0
// % and 1.0 %. It costs a sum over the counts of each family for every step of Newton's, so
// it serves genes of at most kExcessTailMostCodons drawn codons; the longer take the beta,
// which fits them.
#pragma once

#include <array>
#include <cstdint>

#include "analysis/background.hpp"
#include "analysis/draw_order.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// Most drawn codons of a gene whose excess takes the saddlepoint.
inline constexpr std::uint64_t kExcessTailMostCodons = 100;

// The families' chains for one code and background; holds no more than its fixed arrays.
class ExcessTail {
 public:
  ExcessTail(const GeneticCode& code, const Background& background);

  const GeneticCode& code() const { return code_; }

  // P(score' >= score) of a gene's counts under the null; NaN where the gene has more than
  // kExcessTailMostCodons drawn codons, a drawn codon the background never draws, no family
  // of spread, or a saddlepoint so far out that its tilts would leave the doubles.
  double UpperP(const CodonCounts& counts, const SequenceAnalysis& analysis) const;

 private:
  const GeneticCode& code_;
  Background background_;
  std::array<DrawOrder, kFamilyCount + 1> chains_{};
  std::array<double, kExcessTailMostCodons + 1> log_{};  // ln x, 0 for 0
};

// The p-value of a gene's excess: ExcessTail's where it gives one, else ExcessP's.
double GeneExcessP(const ExcessTail& tail, const CodonCounts& counts,
                   const SequenceAnalysis& analysis, double expected, double variance);

}  // namespace trelba
