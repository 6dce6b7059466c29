#include "analysis/reference_usage.hpp"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <string_view>

#include "analysis/adaptation_moments.hpp"
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

__extension__ typedef unsigned __int128 Wide;  // products of two counts, exactly

// Whether the log-odds ln(P_c / Q_c) of the codons of `codons` the input holds differ:
// whether R'_c / N_c differs between them, R' doubled so that 0.5 is a whole number. A
// table given by its w has no counts: its log-odds differ when their values do.
bool LogOddsDiffer(const Family& codons, const ReferenceTable& table, const CodonCounts& input,
                   const CodonValues& log_odds) {
  Wide first_r = 0, first_n = 0;
  double first_value = 0.0;
  for (unsigned m = 0; m < codons.size; ++m) {
    const std::uint8_t c = codons.members[m];
    if (input[c] == 0) continue;
    const Wide r = table.doubled[c];
    if (first_n == 0) {
      first_r = r;
      first_n = input[c];
      first_value = log_odds[c];
    } else if (r == 0 ? log_odds[c] != first_value : r * first_n != first_r * input[c]) {
      return true;
    }
  }
  return false;
}

}  // namespace

ReferenceTable TableOf(const SynonymousCodons& synonymous, const CodonCounts& reference,
                       const CodonCounts& rest) {
  ReferenceTable table;
  for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
    const Family& codons = synonymous.acids[a].codons;
    const std::uint64_t reference_total = Total(codons, reference);
    const std::uint64_t rest_total = Total(codons, rest);
    // P and w from the reference's counts, an absent codon counted as 0.5.
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
      table.p[c] = x / smoothed_total;
      table.doubled[c] = reference[c] == 0 ? 1 : 2 * reference[c];
      if (reference_total != 0) {
        table.w[c] = x / largest;
        table.in_cai[c] = true;
      }
      if (reference_total == 0 || rest_total == 0) continue;
      const auto r = static_cast<double>(reference[c]);
      const auto n = static_cast<double>(rest[c]);
      const auto r_total = static_cast<double>(reference_total);
      const auto n_total = static_cast<double>(rest_total);
      table.optimal[c] = r / r_total > n / n_total &&
                         ChiSquare(r, r_total - r, n, n_total - n) > kOptimalChiSquare;
      any_optimal = any_optimal || table.optimal[c];
    }
    for (unsigned m = 0; m < codons.size; ++m) table.in_fop[codons.members[m]] = any_optimal;
    table.absent[synonymous.acids[a].family] = reference_total == 0;
  }
  return table;
}

void UsageFromW(const SynonymousCodons& synonymous, ReferenceTable& table) {
  for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
    const Family& codons = synonymous.acids[a].codons;
    double sum = 0.0;
    bool whole = true;
    for (unsigned m = 0; m < codons.size; ++m) {
      sum += table.w[codons.members[m]];
      whole = whole && table.in_cai[codons.members[m]];
    }
    for (unsigned m = 0; m < codons.size; ++m) {
      const std::uint8_t c = codons.members[m];
      table.p[c] = whole && sum > 0.0 ? table.w[c] / sum : 1.0 / codons.size;
    }
  }
}

ReferenceUsage UsageAgainst(const SynonymousCodons& synonymous, const CodonCounts& reference,
                            const CodonCounts& input) {
  return UsageAgainst(synonymous, TableOf(synonymous, reference, input), input);
}

ReferenceUsage UsageAgainst(const SynonymousCodons& synonymous, const ReferenceTable& table,
                            const CodonCounts& input) {
  ReferenceUsage usage;
  usage.w = table.w;
  usage.in_cai = table.in_cai;
  usage.optimal = table.optimal;
  usage.in_fop = table.in_fop;
  usage.absent = table.absent;
  for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
    const Family& codons = synonymous.acids[a].codons;
    const std::uint64_t input_total = Total(codons, input);
    const std::uint8_t acid = synonymous.acids[a].family;
    bool any_cai = false;
    for (unsigned m = 0; m < codons.size; ++m) {
      const std::uint8_t c = codons.members[m];
      if (table.in_cai[c]) usage.log_w[c] = NaturalLog(table.w[c]);
      if (input_total != 0 && input[c] != 0) {
        usage.q[c] = static_cast<double>(input[c]) / static_cast<double>(input_total);
        usage.log_odds[c] = NaturalLog(table.p[c] / usage.q[c]);
        usage.in_adaptation[c] = true;
      }
      usage.acid_of[c] = acid;
      usage.optimal_mask[c] = table.optimal[c] ? ~std::uint64_t{0} : 0;
      usage.fop_mask[c] = table.in_fop[c] ? ~std::uint64_t{0} : 0;
      any_cai = any_cai || table.in_cai[c];
    }
    usage.acid_in_cai[acid] = any_cai;
    usage.acid_in_adaptation[acid] = input_total != 0;
    usage.acid_varies[acid] = LogOddsDiffer(codons, table, input, usage.log_odds);
    usage.input_acid[acid] = input_total;
  }
  usage.input = input;
  // The null of adaptation by amino acid; one the input lacks (NaN) weighs nothing.
  CodonValues weights{};
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    weights[c] = usage.in_adaptation[c] ? usage.log_odds[c] : kNotANumber;
  }
  const AdaptationNull null = MakeAdaptationNull(synonymous, weights, usage.q);
  for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
    const std::uint8_t acid = synonymous.acids[a].family;
    usage.null_mean[acid] = null.mean[a] == null.mean[a] ? null.mean[a] : 0.0;
    usage.null_variance[acid] = null.variance[a] == null.variance[a] ? null.variance[a] : 0.0;
    usage.largest_term = std::max(usage.largest_term, std::abs(usage.null_mean[acid]));
  }
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    usage.largest_term = std::max(usage.largest_term, std::abs(usage.log_odds[c]));
  }
  return usage;
}

namespace {

// Whether the gene's z is 0 exactly: in each of its amino acids whose log-odds differ, its
// codons are in the input's proportions (n_c N_a = N_c n_a), so that the amino acid adds
// sum_c (n_c - n_a Q_c) ln(P_c / Q_c) = 0; an amino acid whose log-odds are all one value
// w adds n_a w - n_a w = 0.
bool ZeroExcessOverNull(const ReferenceUsage& usage, const CodonCounts& counts,
                        const std::array<std::uint64_t, kFamilyCount + 1>& acid) {
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    const std::uint8_t a = usage.acid_of[c];
    if (a == 0 || usage.acid_varies[a] == 0) continue;
    if (Wide{counts[c]} * usage.input_acid[a] != Wide{usage.input[c]} * acid[a]) return false;
  }
  return true;
}

}  // namespace

GeneIndices IndicesOf(const ReferenceUsage& usage, const CodonCounts& counts) {
  // One pass over the 64 counts: the log sums in codon order (the codons an index does not
  // read hold 0, which leaves a sum as it is), the counts by amino acid and of the optimal
  // codons as whole numbers; then the amino acids' totals by what reads them.
  double log_w_sum = 0.0, log_odds_sum = 0.0;
  std::uint64_t optimal = 0, fop_codons = 0;
  std::array<std::uint64_t, kFamilyCount + 1> acid{};
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    // Counts stay far below 2^63: the signed conversion is one instruction.
    const auto n = static_cast<double>(static_cast<std::int64_t>(counts[c]));
    log_w_sum += n * usage.log_w[c];
    log_odds_sum += n * usage.log_odds[c];
    optimal += counts[c] & usage.optimal_mask[c];
    fop_codons += counts[c] & usage.fop_mask[c];
    acid[usage.acid_of[c]] += counts[c];
  }
  std::uint64_t cai_codons = 0, adaptation_codons = 0, varying_codons = 0;
  double null_mean = 0.0, null_variance = 0.0;
  for (std::size_t a = 1; a <= kFamilyCount; ++a) {
    cai_codons += acid[a] * usage.acid_in_cai[a];
    adaptation_codons += acid[a] * usage.acid_in_adaptation[a];
    varying_codons += acid[a] * usage.acid_varies[a];
    const auto n = static_cast<double>(static_cast<std::int64_t>(acid[a]));
    null_mean += n * usage.null_mean[a];
    null_variance += n * usage.null_variance[a];
  }
  const auto as_double = [](std::uint64_t n) { return static_cast<double>(n); };
  GeneIndices indices;
  indices.cai = cai_codons == 0 ? kNotANumber : Exponential(log_w_sum / as_double(cai_codons));
  indices.fop = fop_codons == 0 ? kNotANumber : as_double(optimal) / as_double(fop_codons);
  indices.adaptation =
      adaptation_codons == 0 ? kNotANumber : log_odds_sum / as_double(adaptation_codons);
  // z = (sum - L mean) / sqrt(L^2 variance), both scaled by L. The variance is 0 exactly
  // when no amino acid of the gene's has log-odds that differ.
  if (varying_codons == 0 || !(null_variance > 0.0)) {
    indices.adaptation_z = kNotANumber;
    return indices;
  }
  const double excess = log_odds_sum - null_mean;
  // Rounding leaves far less than this of a difference that is 0 exactly.
  const double near_zero = 1e-12 * as_double(adaptation_codons) * usage.largest_term;
  indices.adaptation_z = std::abs(excess) <= near_zero && ZeroExcessOverNull(usage, counts, acid)
                             ? 0.0
                             : excess / std::sqrt(null_variance);
  return indices;
}

double ReferenceSign(const SynonymousCodons& synonymous, const CodonCounts& reference,
                     const CodonCounts& input) {
  constexpr std::string_view kAcids[] = {"Phe", "Tyr", "Ile", "Asn"};
  double sum = 0.0;
  bool any = false;
  for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
    const std::uint8_t acid = synonymous.acids[a].family;
    if (std::find(std::begin(kAcids), std::end(kAcids), kFamilyNames[acid]) == std::end(kAcids)) {
      continue;
    }
    // Codon indices end T, C, A, G in turn.
    std::uint64_t r_c = 0, r_t = 0, n_c = 0, n_t = 0;
    bool has_c = false, has_t = false;
    const Family& codons = synonymous.acids[a].codons;
    for (unsigned m = 0; m < codons.size; ++m) {
      const std::uint8_t c = codons.members[m];
      const int third = (c - 1) % 4;
      if (third == 0) {
        has_t = true;
        r_t += reference[c];
        n_t += input[c];
      } else if (third == 1) {
        has_c = true;
        r_c += reference[c];
        n_c += input[c];
      }
    }
    if (!has_c || !has_t) continue;
    const auto plus_half = [](std::uint64_t count) { return static_cast<double>(count) + 0.5; };
    sum += NaturalLog(plus_half(r_c) / plus_half(r_t) / (plus_half(n_c) / plus_half(n_t)));
    any = true;
  }
  return any ? sum : kNotANumber;
}

}  // namespace trelba
