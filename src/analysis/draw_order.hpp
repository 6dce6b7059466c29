// The order in which the null of the score places a family's drawn codons: its exempt
// codons together first (where the background draws any), then each drawn codon of
// positive q in member order. Given m codons still to place, member i takes
// x ~ Binomial(m, share[i]) and the rest go on to the members after it; the last takes all.
// The score's variance (score_variance.hpp) and a short gene's exact tail (excess_tail.hpp)
// walk the same order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "analysis/background.hpp"
#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

struct DrawOrder {
  std::uint8_t size = 0;
  // Member 0 is the exempt codons' total; `codons` holds the members' but the exempt's.
  bool exempt_first = false;
  std::array<std::uint8_t, kMaxFamilySize + 1> codons{};
  std::array<double, kMaxFamilySize + 1> q{};
  // Of each member: the q of itself and the members after it, and its q over that.
  std::array<double, kMaxFamilySize + 1> from{};
  std::array<double, kMaxFamilySize + 1> share{};
};

DrawOrder FamilyDrawOrder(const GeneticCode& code, const Background& background,
                          std::size_t family);

}  // namespace trelba
