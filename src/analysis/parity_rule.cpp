#include "analysis/parity_rule.hpp"

#include <limits>

namespace trelba {

FourFoldCodons FourFoldCodonsOf(const SynonymousCodons& synonymous) {
  FourFoldCodons four_fold{};
  for (std::size_t box = 1; box <= kCodonCount; box += 4) {
    const std::uint8_t acid = synonymous.acid_of[box];
    bool one_acid = acid != 0;
    for (std::size_t c = box + 1; c < box + 4; ++c)
      one_acid = one_acid && synonymous.acid_of[c] == acid;
    if (!one_acid) continue;
    for (std::size_t c = box; c < box + 4; ++c) four_fold[c] = 1;
  }
  return four_fold;
}

ParityShares ParitySharesOf(const FourFoldCodons& four_fold, const CodonCounts& counts) {
  std::array<std::uint64_t, 4> thirds{};  // T, C, A, G: the codon index's order of bases
  for (std::size_t c = 1; c <= kCodonCount; ++c) thirds[(c - 1) % 4] += counts[c] * four_fold[c];
  const auto share = [](std::uint64_t part, std::uint64_t other) {
    return part + other == 0 ? std::numeric_limits<double>::quiet_NaN()
                             : static_cast<double>(part) / static_cast<double>(part + other);
  };
  return {share(thirds[3], thirds[1]), share(thirds[2], thirds[0])};
}

}  // namespace trelba
