#include "analysis/background.hpp"

#include <cstdint>

namespace trelba {
namespace {

Background DrawnCodons(const GeneticCode& code) {
  std::array<std::uint8_t, kCodonCount + 1> memberships{};
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const Family& family = code.families[f];
    for (unsigned m = 0; m < family.size; ++m) ++memberships[family.members[m]];
  }
  Background background;
  for (std::size_t codon = 1; codon <= kCodonCount; ++codon) {
    background.drawn[codon] = memberships[codon] == 1;
  }
  return background;
}

// Sets q of the family's drawn codons to weight / sum of the weights; false (and nothing
// set) where that sum is 0.
template <class Weight>
bool SetFamily(const Family& family, Background& background, Weight weight) {
  std::uint64_t total = 0;
  for (unsigned m = 0; m < family.size; ++m) {
    if (background.drawn[family.members[m]]) total += weight(family.members[m]);
  }
  if (total == 0) return false;
  for (unsigned m = 0; m < family.size; ++m) {
    const std::size_t codon = family.members[m];
    if (background.drawn[codon]) {
      background.q[codon] = static_cast<double>(weight(codon)) / static_cast<double>(total);
    }
  }
  return true;
}

bool SetEven(const Family& family, Background& background) {
  return SetFamily(family, background, [](std::size_t) { return std::uint64_t{1}; });
}

}  // namespace

std::uint64_t DrawnCount(const Background& background, const Family& family,
                         const CodonCounts& counts) {
  std::uint64_t drawn = 0;
  for (unsigned m = 0; m < family.size; ++m) {
    if (background.drawn[family.members[m]]) drawn += counts[family.members[m]];
  }
  return drawn;
}

Background EvenBackground(const GeneticCode& code) {
  Background background = DrawnCodons(code);
  for (std::size_t f = 1; f <= kFamilyCount; ++f) SetEven(code.families[f], background);
  return background;
}

Background PooledBackground(const GeneticCode& code, const CodonCounts& pooled) {
  Background background = DrawnCodons(code);
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const Family& family = code.families[f];
    if (SetFamily(family, background, [&](std::size_t codon) { return pooled[codon]; })) continue;
    background.even_fallback[f] = SetEven(family, background) && code.divisor[f] != 0;
  }
  return background;
}

}  // namespace trelba
