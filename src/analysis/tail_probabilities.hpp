// One-sided upper p-values of a gene's excess and adaptation under the null that draws its
// codons anew within each of its amino acids (the counts of its amino acids kept):
// - excess, for genes longer than excess_tail.hpp serves: the share at or above the score
//   of a beta distribution on [0, the highest score the gene's amino acids allow] with the
//   score's exact null mean and variance (expected_score.hpp, score_variance.hpp); a gamma
//   distribution with them where no such beta exists. On redraws of real genes a gamma's
//   tail was too heavy for short genes of skewed usage (0.12 % below 0.01 at under 100
//   codons of a genome of 17 % GC), the bounded beta's is not; the beta's in turn too light
//   under 100 codons (6.6 % below 0.05), where the saddlepoint of excess_tail.hpp serves;
// - adaptation: the Lugannani-Rice saddlepoint approximation (saddlepoint.hpp) of P(S >= s)
//   for the sum S of the gene's codons' log-odds, each drawn from the input's usage Q of its
//   amino acid, through the exact cumulant generating function
//   K(t) = sum_a n_a ln sum_c Q_c e^(t w_c).
// Made of +, -, *, /, sqrt, NaturalLog and Exponential in a fixed order
// (numeric/gamma_tail.hpp), so the same bits everywhere.
#pragma once

#include <array>
#include <cstdint>

#include "analysis/reference_usage.hpp"
#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// P(score' >= score) for score' of a beta distribution on [0, highest] (the highest score
// the gene's amino acids allow) of mean `expected` and variance `variance`, or of a gamma
// distribution where no such beta exists; NaN when either is not positive or a value is NaN.
double ExcessP(double score, double expected, double variance, double highest);

// The highest score a sequence of this composition can have: every family whose order
// value can vary at 1.
double HighestScore(const GeneticCode& code, const FamilyValues& composition);

// The amino acids of adaptation's null, made once per reference and input.
class AdaptationTail {
 public:
  AdaptationTail(const SynonymousCodons& synonymous, const ReferenceUsage& usage);

  // P(S >= s) of a gene's counts; NaN where no amino acid of the gene has codons of
  // different log-odds (the null variance is 0).
  double UpperP(const CodonCounts& counts) const;

 private:
  struct Acid {
    std::array<double, kMaxFamilySize> w{};  // the log-odds of its codons that take part
    std::array<double, kMaxFamilySize> q{};  // their shares of the amino acid in the input
    std::array<std::uint8_t, kMaxFamilySize> codons{};
    unsigned size = 0;
    double lowest = 0.0;     // of w
    double highest = 0.0;    // of w
    double top_share = 0.0;  // the q of its codons of the highest w
  };
  std::array<Acid, kFamilyCount> acids_{};
  unsigned acid_count_ = 0;
};

}  // namespace trelba
