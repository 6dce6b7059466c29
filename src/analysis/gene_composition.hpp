// A gene's composition from its codon counts, as the neutrality plot, the ENC plot and the
// protein's indices read it. The codons read are those of amino acids under the code's
// NCBI table (SynonymousCodons::acid_of): stops and triples that are no codon are left
// out; the start codon counts as its amino acid. Every quotient is one IEEE division of
// two whole numbers.
#pragma once

#include <array>
#include <cstdint>

#include "analysis/synonymous_codons.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// What each codon adds to the sums of CompositionOf, made once for a code.
struct CompositionCodons {
  std::array<std::uint8_t, kCodonCount + 1> sense{};       // 1: a codon of an amino acid
  std::array<std::uint8_t, kCodonCount + 1> gc1{};         // 1: G or C first
  std::array<std::uint8_t, kCodonCount + 1> gc2{};         // 1: G or C second
  std::array<std::int8_t, kCodonCount + 1> hydropathy{};   // its amino acid's, in tenths
  std::array<std::uint8_t, kCodonCount + 1> aromatic{};    // 1: Phe, Tyr or Trp
  std::array<std::uint8_t, kCodonCount + 1> synonymous{};  // 1: of an amino acid of 2+ codons
  std::array<std::uint8_t, kCodonCount + 1> third{};       // its third base, T=0 C=1 A=2 G=3
  // Of a synonymous codon: bit b set when its amino acid has a codon ending in base b.
  std::array<std::uint8_t, kCodonCount + 1> third_choice{};
};

CompositionCodons CompositionCodonsOf(const SynonymousCodons& synonymous);

struct GeneComposition {
  std::uint64_t l_aa = 0;   // codons of amino acids
  std::uint64_t l_sym = 0;  // codons of amino acids of two or more codons
  double gc1 = 0.0;         // G or C first, of the l_aa codons; NaN when l_aa is 0
  double gc2 = 0.0;         // G or C second, likewise
  double gc12 = 0.0;        // G or C at first and second positions, of 2 l_aa bases
  // Of each base b (T, C, A, G): the l_sym codons ending in b over the l_sym codons of the
  // amino acids that have a codon ending in b; NaN when there are none.
  std::array<double, 4> third_shares{};
  double gravy = 0.0;     // the mean hydropathy of the l_aa codons' amino acids
  double aromatic = 0.0;  // the share of the l_aa codons that are Phe, Tyr or Trp
};

GeneComposition CompositionOf(const CompositionCodons& codons, const CodonCounts& counts);

// Wright's (1990) expected ENC of a gene whose only bias is its GC3s s, 2 + s + 29 / (s^2 +
// (1 - s)^2), against its ENC: (expected - enc) / expected. NaN when either is NaN.
double EncRatio(double enc, double gc3s);

}  // namespace trelba
