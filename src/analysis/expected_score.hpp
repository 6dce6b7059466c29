// The exact expected score of a sequence: the mean of its score when the codons of each
// family are drawn independently from a background's within-family frequencies q, the
// sequence's own family totals (and so its composition) held fixed.
//
// A drawn codon's count is c ~ Binomial(n_f, q_c), so each entropy term's expectation is a
// binomial sum of the terms exactly as the analysis computes them (an exempt codon's
// frequency has expectation q_c), E[H_f] adds them in member order, E[O_f] = 1 - E[H_f] /
// ln k (0 where the code fixes the order value at 0), and the expected score adds
// composition_f * E[O_f] as SequenceScore does: NaN exactly where the score is NaN.
//
// A codon in two families (AGA and AGG, in the stop family and Arg under variant 2) is not
// drawn: it keeps the frequency the sequence gives it, so the family total, which
// includes its share, is the sequence's own, as for every other family. Only the codons of
// Arg alone (CGN) are drawn, n being their count in the sequence and q their background
// within CGN; the divisor stays the code's ln 6. (Drawing the stop family too would change
// Arg's total and with it every family's weight.)
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/background.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// Largest number of drawn codons of a family whose E[O_f] is kept once computed.
inline constexpr std::uint64_t kExpectedOrderCacheMaxTotal = 2048;

// E[O_f] by family and number of drawn codons, for one code and background, each value
// computed on first use (beyond kExpectedOrderCacheMaxTotal: every time). Holds about
// 350 kB, allocated once. Not shared: one per analysing thread. `code` must outlive it.
class ExpectedOrderCache {
 public:
  ExpectedOrderCache(const GeneticCode& code, const Background& background);

  const GeneticCode& code() const { return code_; }
  const Background& background() const { return background_; }

  // E[O_f] of a family all of whose members hold `drawn` drawn codons and nothing else.
  double Order(std::size_t family, std::uint64_t drawn) {
    if (drawn <= kExpectedOrderCacheMaxTotal) {
      const double kept = orders_[family * (kExpectedOrderCacheMaxTotal + 1) + drawn];
      if (kept == kept) return kept;
    }
    return ComputeOrder(family, drawn);
  }

 private:
  double ComputeOrder(std::size_t family, std::uint64_t drawn);

  const GeneticCode& code_;
  Background background_;
  std::vector<double> orders_;  // NaN where not computed yet
};

// E[O_f] of every family of a sequence, from its counts and their analysis.
void ExpectedOrderValues(ExpectedOrderCache& cache, const CodonCounts& counts,
                         const SequenceAnalysis& analysis, FamilyValues& expected);

// The expected score: SequenceScore of the analysis's composition and the expected order
// values.
double ExpectedScore(ExpectedOrderCache& cache, const CodonCounts& counts,
                     const SequenceAnalysis& analysis);

}  // namespace trelba
