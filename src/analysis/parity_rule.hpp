// The parity rule 2 (PR2) plot's numbers of a gene: the third bases of its codons at
// four-fold degenerate sites, those of a box of four codons (the same first two bases)
// that all stand for one amino acid under the code's NCBI table (SynonymousCodons::acid_of;
// a box with a stop or two amino acids, as Ser's AGY beside Arg's AGR, is none). Under no
// bias from mutation or selection between the strands A3 = T3 and G3 = C3 there.
#pragma once

#include <array>
#include <cstdint>

#include "analysis/synonymous_codons.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// Of every codon: 1 when its third base is at a four-fold degenerate site.
using FourFoldCodons = std::array<std::uint8_t, kCodonCount + 1>;

FourFoldCodons FourFoldCodonsOf(const SynonymousCodons& synonymous);

struct ParityShares {
  double g3 = 0.0;  // G3 / (G3 + C3) at four-fold sites; NaN without G or C there
  double a3 = 0.0;  // A3 / (A3 + T3) likewise; NaN without A or T there
};

ParityShares ParitySharesOf(const FourFoldCodons& four_fold, const CodonCounts& counts);

}  // namespace trelba
