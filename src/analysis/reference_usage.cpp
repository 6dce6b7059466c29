#include "analysis/reference_usage.hpp"

#include <limits>

#include "numeric/exponential.hpp"
#include "numeric/natural_log.hpp"

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// The 2x2 chi-square of (a, b) against (c, d), without continuity correction; 0 when a
// margin is empty.
double ChiSquare(double a, double b, double c, double d) {
  const double rows = (a + b) * (c + d);
  const double columns = (a + c) * (b + d);
  if (rows == 0.0 || columns == 0.0) return 0.0;
  const double cross = a * d - b * c;
  return (a + b + c + d) * cross * cross / (rows * columns);
}

std::uint64_t Total(const Family& codons, const CodonCounts& counts) {
  std::uint64_t total = 0;
  for (unsigned m = 0; m < codons.size; ++m) total += counts[codons.members[m]];
  return total;
}

}  // namespace

ReferenceUsage UsageAgainst(const SynonymousCodons& synonymous, const CodonCounts& reference,
                            const CodonCounts& input) {
  ReferenceUsage usage;
  for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
    const Family& codons = synonymous.acids[a].codons;
    const std::uint64_t reference_total = Total(codons, reference);
    const std::uint64_t input_total = Total(codons, input);
    // P from the reference's counts, an absent codon counted as 0.5.
    double smoothed_total = 0.0;
    double largest = 0.0;
    for (unsigned m = 0; m < codons.size; ++m) {
      const std::uint64_t count = reference[codons.members[m]];
      const double x = count == 0 ? kAbsentReferenceCount : static_cast<double>(count);
      smoothed_total += x;
      if (x > largest) largest = x;
    }
    bool any_optimal = false;
    for (unsigned m = 0; m < codons.size; ++m) {
      const std::uint8_t c = codons.members[m];
      const double x =
          reference[c] == 0 ? kAbsentReferenceCount : static_cast<double>(reference[c]);
      if (reference_total != 0) {
        usage.w[c] = x / largest;
        usage.log_w[c] = NaturalLog(usage.w[c]);
        usage.in_cai[c] = true;
      }
      if (input_total != 0 && input[c] != 0) {
        usage.q[c] = static_cast<double>(input[c]) / static_cast<double>(input_total);
        usage.log_odds[c] = NaturalLog(x / smoothed_total / usage.q[c]);
        usage.in_adaptation[c] = true;
      }
      if (reference_total == 0 || input_total == 0) continue;
      const auto r = static_cast<double>(reference[c]);
      const auto n = static_cast<double>(input[c]);
      const auto r_total = static_cast<double>(reference_total);
      const auto n_total = static_cast<double>(input_total);
      usage.optimal[c] = r / r_total > n / n_total &&
                         ChiSquare(r, r_total - r, n, n_total - n) > kOptimalChiSquare;
      any_optimal = any_optimal || usage.optimal[c];
    }
    for (unsigned m = 0; m < codons.size; ++m) usage.in_fop[codons.members[m]] = any_optimal;
    usage.absent[synonymous.acids[a].family] = reference_total == 0;
  }
  return usage;
}

GeneIndices IndicesOf(const ReferenceUsage& usage, const CodonCounts& counts) {
  double log_w_sum = 0.0;
  double log_odds_sum = 0.0;
  std::uint64_t cai_codons = 0, optimal = 0, fop_codons = 0, adaptation_codons = 0;
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    const std::uint64_t n = counts[c];
    if (n == 0) continue;
    if (usage.in_cai[c]) {
      log_w_sum += static_cast<double>(n) * usage.log_w[c];
      cai_codons += n;
    }
    if (usage.in_fop[c]) {
      fop_codons += n;
      if (usage.optimal[c]) optimal += n;
    }
    if (usage.in_adaptation[c]) {
      log_odds_sum += static_cast<double>(n) * usage.log_odds[c];
      adaptation_codons += n;
    }
  }
  GeneIndices indices;
  indices.cai =
      cai_codons == 0 ? kNotANumber : Exponential(log_w_sum / static_cast<double>(cai_codons));
  indices.fop = fop_codons == 0 ? kNotANumber
                                : static_cast<double>(optimal) / static_cast<double>(fop_codons);
  indices.adaptation =
      adaptation_codons == 0 ? kNotANumber : log_odds_sum / static_cast<double>(adaptation_codons);
  return indices;
}

}  // namespace trelba
