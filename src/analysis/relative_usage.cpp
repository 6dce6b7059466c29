#include "analysis/relative_usage.hpp"

#include <array>
#include <cstdint>
#include <limits>

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// Each amino acid's count by family number, the stops at 0.
std::array<std::uint64_t, kFamilyCount + 1> AcidTotals(const SynonymousCodons& synonymous,
                                                       const CodonCounts& counts) {
  std::array<std::uint64_t, kFamilyCount + 1> totals{};
  for (std::size_t c = 1; c <= kCodonCount; ++c) totals[synonymous.acid_of[c]] += counts[c];
  return totals;
}

}  // namespace

void CodonRscu(const SynonymousCodons& synonymous, const CodonCounts& counts, CodonValues& rscu) {
  const std::array<std::uint64_t, kFamilyCount + 1> totals = AcidTotals(synonymous, counts);
  unsigned stops = 0;  // codons of no amino acid
  for (std::size_t c = 1; c <= kCodonCount; ++c) stops += synonymous.acid_of[c] == 0;
  rscu[0] = kNotANumber;
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    const std::uint8_t acid = synonymous.acid_of[c];
    const std::uint64_t total = totals[acid];
    const double k = acid == 0 ? stops : synonymous.degeneracy[c];
    rscu[c] =
        total == 0 ? kNotANumber : static_cast<double>(counts[c]) * k / static_cast<double>(total);
  }
}

void AminoAcidShares(const SynonymousCodons& synonymous, const CodonCounts& counts,
                     FamilyValues& shares) {
  const std::array<std::uint64_t, kFamilyCount + 1> totals = AcidTotals(synonymous, counts);
  std::uint64_t sense = 0;
  for (std::size_t a = 1; a <= kFamilyCount; ++a) sense += totals[a];
  for (std::size_t a = 0; a <= kFamilyCount; ++a) {
    shares[a] = sense == 0 || a == 0 || a == kStopFamily
                    ? kNotANumber
                    : static_cast<double>(totals[a]) / static_cast<double>(sense);
  }
}

}  // namespace trelba
