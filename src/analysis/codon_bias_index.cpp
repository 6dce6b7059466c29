#include "analysis/codon_bias_index.hpp"

#include <limits>
#include <numeric>

namespace trelba {

CbiCodons CbiCodonsOf(const SynonymousCodons& synonymous, const ReferenceUsage& usage) {
  CbiCodons codons;
  for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
    codons.scale = std::lcm(codons.scale, std::uint64_t{synonymous.acids[a].codons.size});
  }
  for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
    const Family& members = synonymous.acids[a].codons;
    std::uint64_t optimal = 0;
    for (unsigned m = 0; m < members.size; ++m) optimal += usage.optimal[members.members[m]];
    if (optimal == 0) continue;
    for (unsigned m = 0; m < members.size; ++m) {
      const std::uint8_t c = members.members[m];
      codons.optimal[c] = usage.optimal[c] ? 1 : 0;
      codons.read[c] = 1;
      codons.expected[c] = optimal * (codons.scale / members.size);
    }
  }
  return codons;
}

double CodonBiasIndex(const CbiCodons& codons, const CodonCounts& counts) {
  // In units of 1 / scale, as whole numbers: one rounding, the division's.
  std::uint64_t optimal = 0, read = 0, expected = 0;
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    optimal += counts[c] * codons.optimal[c];
    read += counts[c] * codons.read[c];
    expected += counts[c] * codons.expected[c];
  }
  const auto scaled = [&](std::uint64_t n) { return static_cast<std::int64_t>(n * codons.scale); };
  const std::int64_t above = scaled(optimal) - static_cast<std::int64_t>(expected);
  const std::int64_t range = scaled(read) - static_cast<std::int64_t>(expected);
  if (range == 0) return std::numeric_limits<double>::quiet_NaN();
  return static_cast<double>(above) / static_cast<double>(range);
}

}  // namespace trelba
