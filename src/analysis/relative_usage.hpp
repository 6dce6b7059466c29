// How a set of codon counts uses each codon within its amino acid (RSCU) and each amino
// acid among the codons of amino acids, the amino acids those of SynonymousCodons::acid_of.
#pragma once

#include "analysis/synonymous_codons.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// Each codon's relative synonymous codon usage: its count times its amino acid's number of
// codons over the amino acid's count, the stops taken as one amino acid; NaN where that
// count is 0. 1 for even use.
void CodonRscu(const SynonymousCodons& synonymous, const CodonCounts& counts, CodonValues& rscu);

// Each amino acid's count over the codons of amino acids (stops and triples that are no
// codon left out), by family number; NaN without such a codon. The stop family and
// element 0 are NaN.
void AminoAcidShares(const SynonymousCodons& synonymous, const CodonCounts& counts,
                     FamilyValues& shares);

}  // namespace trelba
