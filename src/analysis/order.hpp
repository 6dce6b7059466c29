// Family entropy and order values.
#pragma once

#include "codes/genetic_code.hpp"
#include "trelba/tables.hpp"

namespace trelba {

// The entropy term of a within-family frequency p: 0 for p = 0, else (ln p * p) * -1.0.
double EntropyTerm(double p);

// The order value of every family from the within-family frequencies of one sequence:
// 1 - H / ln k, H being the sum of the members' entropy terms (the code's exempt codons:
// their frequencies) in ascending codon index. The stop family and the one-codon families get 0.
// Values are not clamped: exempt codons can make them negative.
void OrderValues(const GeneticCode& code, const CodonValues& frequencies, FamilyValues& order);

// The same values, bit for bit, with the entropy terms of small families looked up: given
// also the counts and the family totals from which `frequencies` were made, a family whose
// codons are in no other family and whose total is at most kEntropyTableMaxTotal takes its
// terms from the entropy table; every other family computes them as above.
void OrderValues(const GeneticCode& code, const CodonCounts& counts, const FamilyValues& totals,
                 const CodonValues& frequencies, FamilyValues& order);

}  // namespace trelba
