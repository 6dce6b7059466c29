// What the search for a reference set learns of each gene as the input is read, kept beside
// its counts (reports/gene_count_store.hpp) in one byte, so that the search itself keeps no
// list of genes.
#pragma once

#include <cstdint>
#include <string_view>

#include "analysis/synonymous_codons.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// At least kSearchMinimumCodons codons of amino acids of two or more codons: the gene may
// enter a set found by its codons.
inline constexpr std::uint8_t kMarkEligible = 1;
// Its header names a cytosolic ribosomal protein or translation elongation factor
// (machinery_names.hpp).
inline constexpr std::uint8_t kMarkNamed = 2;
// The same in sequence as a gene of the reference file (driver/reference_genes.hpp).
inline constexpr std::uint8_t kMarkReferenceFile = 4;
// Its protein resembles one of the panel's ribosomal proteins or elongation factors
// (machinery_homology.hpp).
inline constexpr std::uint8_t kMarkHomolog = 8;

// The marks a gene's counts and description give.
std::uint8_t GeneMarks(const SynonymousCodons& synonymous, const CodonCounts& counts,
                       std::string_view description);

}  // namespace trelba
