// The background of the expected score: the within-family frequencies from which each
// family's codons are drawn.
#pragma once

#include <array>
#include <cstdint>

#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

struct Background {
  // Codons that belong to one family alone. Only these are drawn; a codon in two families
  // (AGA and AGG under variant 2) keeps the value the sequence gives it.
  std::array<bool, kCodonCount + 1> drawn{};
  // q of every drawn codon within its family (the drawn members' q add up to 1); 0 for
  // codons never drawn.
  CodonValues q{};
  // Families of a non-zero divisor whose drawn codons the background never holds: they
  // were given even use instead.
  std::array<bool, kFamilyCount + 1> even_fallback{};

  bool operator==(const Background&) const = default;
};

// How many of `counts` fall on the codons of `family` that the background draws.
std::uint64_t DrawnCount(const Background& background, const Family& family,
                         const CodonCounts& counts);

// q = 1 / d within every family, d being the number of its drawn codons.
Background EvenBackground(const GeneticCode& code);

// q = count / family total from codon counts pooled over sequences; a family whose drawn
// codons all have count 0 gets even use and is marked in `even_fallback`.
Background PooledBackground(const GeneticCode& code, const CodonCounts& pooled);

}  // namespace trelba
