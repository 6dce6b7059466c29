// Family entropy and order values.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// The entropy term of a within-family frequency p: 0 for p = 0, else (ln p * p) * -1.0.
double EntropyTerm(double p);

// The order rule, the one place that says it: the order value of family `f` is 1 - H / ln k,
// H the members' contributions added in ascending codon index, a member's contribution its
// entropy term, or, for the code's exempt codons, its frequency p itself. The stop family
// and the one-codon families get 0. Values are not clamped: exempt codons can make them
// negative. `terms.Entropy(codon)` and `terms.Frequency(codon)` give a member's term and
// frequency as the caller has them: computed, looked up, or expected under a background.
template <class Terms>
double FamilyOrderValue(const GeneticCode& code, std::size_t f, const Terms& terms) {
  if (code.divisor[f] == 0) return 0.0;
  const Family& family = code.families[f];
  double entropy = 0.0;
  for (unsigned m = 0; m < family.size; ++m) {
    const std::size_t codon = family.members[m];
    const double contribution = code.exempt[codon] ? terms.Frequency(codon) : terms.Entropy(codon);
    entropy = m == 0 ? contribution : entropy + contribution;
  }
  return 1.0 - entropy / code.log_divisor[f];
}

// The order value of every family from the within-family frequencies of one sequence,
// each term computed.
void OrderValues(const GeneticCode& code, const CodonValues& frequencies, FamilyValues& order);

// The same values, bit for bit, with the entropy terms of small families looked up: given
// also the counts and the family totals from which `frequencies` were made, a family whose
// codons are in no other family and whose total is at most kEntropyTableMaxTotal takes its
// terms from the entropy table; every other family computes them as above.
void OrderValues(const GeneticCode& code, const CodonCounts& counts, const FamilyValues& totals,
                 const CodonValues& frequencies, FamilyValues& order);

// The order value of family `f` from its codon counts alone, `total` being their sum: bit
// for bit what OrderValues gives a family whose codons are in no other family
// (code.unshared[f]) when the total is at most 2^53 (so that the within-family frequencies'
// double total is this exact sum).
double UnsharedOrderValue(const GeneticCode& code, std::size_t f, const CodonCounts& counts,
                          std::uint64_t total);

}  // namespace trelba
