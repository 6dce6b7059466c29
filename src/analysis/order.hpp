// Family entropy and order values.
#pragma once

#include <cstddef>
#include <cstdint>

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

// The order value of family `f` from its codon counts alone, `total` being their sum: bit
// for bit what OrderValues gives a family whose codons are in no other family
// (code.unshared[f]) when the total is at most 2^53 (so that the within-family frequencies'
// double total is this exact sum).
double UnsharedOrderValue(const GeneticCode& code, std::size_t f, const CodonCounts& counts,
                          std::uint64_t total);

}  // namespace trelba
