// What each built-in variant is meant for, and how it differs from the NCBI translation
// table of those organisms (GeneticCode::amino_acid_table). Used to write the documentation; the
// analysis never reads it.
#pragma once

#include <array>
#include <string_view>

#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// One group of codons that a variant treats otherwise than its NCBI table: the codons,
// and the amino acid the NCBI table gives them (one letter, '*' for a stop).
struct CodonDifference {
  std::string_view codons;  // space-separated, e.g. "AGA AGG"
  char ncbi_amino_acid = 0;
};

struct VariantNote {
  std::string_view organisms;                    // for the README and the manual page
  std::string_view short_organisms;              // for --help
  std::array<CodonDifference, 2> differences{};  // unused entries have empty codons
  // An NCBI table that is closer codon by codon although meant for other organisms
  // (0: none), and its one difference.
  int closer_table = 0;
  CodonDifference closer_difference{};
};

// Notes for variants "0" to "7".
extern const std::array<VariantNote, kGeneticCodeCount> kVariantNotes;

}  // namespace trelba
