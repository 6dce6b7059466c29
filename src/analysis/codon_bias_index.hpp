// Bennetzen & Hall's (1982) codon bias index of a gene against a set of optimal codons:
// (optimal - expected) / (codons - expected), over the gene's codons of the amino acids
// that have an optimal codon, `expected` the optimal codons a gene of the same amino acids
// would hold were each amino acid's codons used evenly (its count times its optimal codons
// over its codons). 1 when only optimal codons are used, 0 for even use, below 0 when
// optimal codons are rarer than even use would make them.
#pragma once

#include <array>
#include <cstdint>

#include "analysis/reference_usage.hpp"
#include "analysis/synonymous_codons.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// What each codon adds to the index's sums, made once for a set of optimal codons. With
// `scale` a multiple of every amino acid's number of codons, a codon's `expected` share is
// a whole number: its amino acid's optimal codons times scale / its codons.
struct CbiCodons {
  std::uint64_t scale = 1;
  std::array<std::uint8_t, kCodonCount + 1> optimal{};  // 1: an optimal codon
  std::array<std::uint8_t, kCodonCount + 1> read{};     // 1: of an amino acid with one
  std::array<std::uint64_t, kCodonCount + 1> expected{};
};

// The optimal codons of `usage` (its Fop's).
CbiCodons CbiCodonsOf(const SynonymousCodons& synonymous, const ReferenceUsage& usage);

// NaN when the gene has no codon of an amino acid with an optimal codon.
double CodonBiasIndex(const CbiCodons& codons, const CodonCounts& counts);

}  // namespace trelba
