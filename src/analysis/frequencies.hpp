// Within-family codon frequencies and each family's share of a sequence.
#pragma once

#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// Turns the counts of one sequence into within-family frequencies. Families are taken in
// ascending number, each total summed over the members' current values in ascending codon
// index; a family with a non-zero total has every member divided by it. A codon in two
// families (AGA and AGG under code 2) is thus divided twice. Codons in no family keep
// their counts. `totals` receives the family totals.
void WithinFamilyFrequencies(const GeneticCode& code, const CodonCounts& counts,
                             CodonValues& values, FamilyValues& totals);

// composition[f] = totals[f] / D for every family but the stop family, with D the sum of
// the denominator families' totals in their listed order. D is not tested for zero: a
// sequence without such codons gets NaN (or infinity for a one-codon family it uses).
void FamilyComposition(const GeneticCode& code, const FamilyValues& totals,
                       FamilyValues& composition);

}  // namespace trelba
