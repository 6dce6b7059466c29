// The 21 synonymous codon families of a genetic code, and the built-in variants.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "trelba/codons_and_families.hpp"

namespace trelba {

// No family can hold more than every codon (the built-in variants reach 8).
inline constexpr int kMaxFamilySize = kCodonCount;

struct Family {
  std::array<std::uint8_t, kMaxFamilySize> members{};  // codon indices, ascending
  std::uint8_t size = 0;
};

// Everything the analysis needs to know of one genetic code, resolved once per run: a
// built-in variant or an NCBI translation table.
struct GeneticCode {
  char id = '0';       // '0' to '7' for the variants, 0 for NCBI tables
  int ncbi_table = 0;  // the NCBI translation table number, 0 for the variants
  // The NCBI translation table whose amino acids the code stands for: its own number, or
  // the table of the organisms a variant is meant for. The indices of codon usage (ENC,
  // GC3s, CAI, Fop) take their amino acids from it, never from a variant's own families.
  int amino_acid_table = 1;
  std::array<Family, kFamilyCount + 1> families{};  // element 0 unused
  // The families whose totals form the composition denominator, in the order in which
  // they are added: every family but the stop family and the one-codon families.
  std::array<std::uint8_t, kFamilyCount> denominator{};
  std::uint8_t denominator_size = 0;
  // k of each family (the number of its codons), or 0 where the family's order value is
  // fixed at 0 (the stop family and the one-codon families).
  std::array<std::uint8_t, kFamilyCount + 1> divisor{};
  // ln k of each family, or 0 where k is 0.
  FamilyValues log_divisor{};
  // Codons that enter their family's entropy with their frequency instead of the term
  // -p ln p: TAA, TAG, TGA, TGG and ATG under the variants, none under NCBI tables.
  std::array<bool, kCodonCount + 1> exempt{};
  // Families none of whose codons belongs to another family (all but Arg and the stop
  // family under variant 2): their within-family frequencies are count / total exactly.
  std::array<bool, kFamilyCount + 1> unshared{};
  // Stop codons: those of the stop family that belong to no other family.
  std::array<bool, kCodonCount + 1> stop{};
};

// Completes a code from its families: k and ln k of every family (0 for the stop family
// and the one-codon families, whose order value is fixed at 0), which families share no
// codon, its stop codons, and, unless the code lists its own order of addition, the denominator
// families (every family with a value, ascending). Called once when a code is built.
void CompleteGeneticCode(GeneticCode& code);

inline constexpr int kGeneticCodeCount = 8;

// The variant that a genetic-code argument selects: exactly "1" to "7" select the
// variants; every other string ("0", "", "8", "01", " 1"...) selects the standard code.
const GeneticCode& SelectGeneticCode(std::string_view id);

// The variant numbered `number` (0 to 7).
const GeneticCode& GeneticCodeNumber(int number);

}  // namespace trelba
