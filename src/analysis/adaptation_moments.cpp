#include "analysis/adaptation_moments.hpp"

namespace trelba {

AdaptationNull MakeAdaptationNull(const SynonymousCodons& synonymous, const CodonValues& weights,
                                  const CodonValues& q) {
  AdaptationNull null;
  for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
    const Family& codons = synonymous.acids[a].codons;
    double q_sum = 0.0;
    double weighted = 0.0;
    for (unsigned m = 0; m < codons.size; ++m) {
      const std::size_t codon = codons.members[m];
      null.takes_part[codon] = weights[codon] == weights[codon];
      if (!null.takes_part[codon]) continue;
      q_sum += q[codon];
      weighted += q[codon] * weights[codon];
    }
    const double mean = weighted / q_sum;
    double spread = 0.0;
    for (unsigned m = 0; m < codons.size; ++m) {
      const std::size_t codon = codons.members[m];
      if (!null.takes_part[codon]) continue;
      const double deviation = weights[codon] - mean;
      spread += q[codon] * (deviation * deviation);
    }
    null.mean[a] = mean;
    null.variance[a] = spread / q_sum;
  }
  return null;
}

NullMoments AdaptationMoments(const SynonymousCodons& synonymous, const AdaptationNull& null,
                              const CodonCounts& counts) {
  std::uint64_t length = 0;
  double mean = 0.0;
  double variance = 0.0;
  for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
    const Family& codons = synonymous.acids[a].codons;
    std::uint64_t n = 0;
    for (unsigned m = 0; m < codons.size; ++m) {
      if (null.takes_part[codons.members[m]]) n += counts[codons.members[m]];
    }
    if (n == 0) continue;
    length += n;
    mean += static_cast<double>(n) * null.mean[a];
    variance += static_cast<double>(n) * null.variance[a];
  }
  const auto l = static_cast<double>(length);
  return {mean / l, variance / (l * l)};
}

}  // namespace trelba
