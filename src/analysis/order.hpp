// Family entropy and order values.
#pragma once

#include <array>

#include "codes/genetic_code.hpp"
#include "trelba/tables.hpp"

namespace trelba {

// TAA, TAG, TGA, TGG and ATG enter a family's entropy with their frequency itself, not
// with an entropy term, under every genetic code (by codon index). This matters only
// where such a codon shares a family that has a value: TGA TGG, ATA ATG, TGT TGC TGA and
// TAA TAG CAA CAG under some variants.
inline constexpr std::array<bool, kCodonCount + 1> kExemptCodons = [] {
  std::array<bool, kCodonCount + 1> exempt{};
  for (int codon : {11, 12, 15, 16, 36}) exempt[static_cast<std::size_t>(codon)] = true;
  return exempt;
}();

// The entropy term of a within-family frequency p: 0 for p = 0, else (ln p * p) * -1.0.
double EntropyTerm(double p);

// The order value of every family from the within-family frequencies of one sequence:
// 1 - H / ln k, H being the sum of the members' entropy terms (exempt codons: their
// frequencies) in ascending codon index. The stop family and the one-codon families get 0.
// Values are not clamped: exempt codons can make them negative.
void OrderValues(const GeneticCode& code, const CodonValues& frequencies, FamilyValues& order);

}  // namespace trelba
