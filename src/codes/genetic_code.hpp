// The 21 synonymous codon families under each built-in genetic-code variant.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "trelba/tables.hpp"

namespace trelba {

inline constexpr int kMaxFamilySize = 8;

struct Family {
  std::array<std::uint8_t, kMaxFamilySize> members{};  // codon indices, ascending
  std::uint8_t size = 0;
};

// Everything the analysis needs to know of one variant, resolved once per run.
struct GeneticCode {
  char id = '0';                                    // '0' to '7'
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
};

inline constexpr int kGeneticCodeCount = 8;

// The variant that a genetic-code argument selects: exactly "1" to "7" select the
// variants; every other string ("0", "", "8", "01", " 1"...) selects the standard code.
const GeneticCode& SelectGeneticCode(std::string_view id);

// The variant numbered `number` (0 to 7).
const GeneticCode& GeneticCodeNumber(int number);

}  // namespace trelba
