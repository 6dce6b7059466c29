#include "analysis/excess_tail.hpp"

#include <cmath>
#include <limits>

#include "analysis/binomial_walk.hpp"
#include "analysis/saddlepoint.hpp"
#include "analysis/tail_probabilities.hpp"
#include "numeric/exponential.hpp"
#include "numeric/natural_log.hpp"

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();
// No tilt of a family's chain goes beyond e^this (a double holds e^709).
constexpr double kLargestTilt = 600.0;

using Counts = std::array<double, kExcessTailMostCodons + 1>;

// One family of the gene: its chain, drawn count, and the values h(x) / ln k that a count
// x of one of its codons, and of its exempt codons together, adds to Z (less x ln n, which
// adds n ln n whatever the draw: h(x) = x ln(x / n), and x (ln T - 1 - ln n)).
struct Drawn {
  const DrawOrder* chain;
  std::uint64_t n;
  Counts codon_value;
  Counts exempt_value;
};

// The value h(x) / ln k of x codons of a family, ln x read from `log`.
struct FamilyValue {
  double log_n;
  double exempt_slope;  // ln T - 1 - ln n
  double inverse_log_k;
  double Codon(const Counts& log, std::uint64_t x) const {
    return x == 0 ? 0.0 : static_cast<double>(x) * (log[x] - log_n) * inverse_log_k;
  }
  double Exempt(std::uint64_t x) const {
    return static_cast<double>(x) * exempt_slope * inverse_log_k;
  }
};

// E[e^(t V)], E[V e^(t V)] and E[V^2 e^(t V)] of what the members from one on add, V, by
// the codons m left to them.
struct Tilted {
  Counts mass{};
  Counts first{};
  Counts second{};
};

// The family's cumulants at t of V = the sum of its members' values.
Cumulants FamilyCumulants(const Drawn& family, double t) {
  const DrawOrder& chain = *family.chain;
  const std::uint64_t n = family.n;
  Counts codon_tilt{}, exempt_tilt{};
  for (std::uint64_t x = 0; x <= n; ++x) codon_tilt[x] = Exponential(t * family.codon_value[x]);
  if (chain.exempt_first) {
    for (std::uint64_t x = 0; x <= n; ++x) {
      exempt_tilt[x] = Exponential(t * family.exempt_value[x]);
    }
  }
  // The last member takes whatever is left.
  Tilted after;
  const unsigned last = chain.size - 1u;
  for (std::uint64_t m = 0; m <= n; ++m) {
    const double v = family.codon_value[m];
    after.mass[m] = codon_tilt[m];
    after.first[m] = v * codon_tilt[m];
    after.second[m] = v * after.first[m];
  }
  // Each member before it, from the last but one back: in place, m downwards, since the
  // values at m read those after at m and below. The first member needs m = n alone.
  for (unsigned i = last; i-- > 0;) {
    const bool exempt = i == 0 && chain.exempt_first;
    const Counts& value = exempt ? family.exempt_value : family.codon_value;
    const Counts& tilt = exempt ? exempt_tilt : codon_tilt;
    const std::uint64_t lowest = i == 0 ? n : 0;
    for (std::uint64_t m = n + 1; m-- > lowest;) {
      double weights = 0.0, mass = 0.0, first = 0.0, second = 0.0;
      const auto visit = [&](std::uint64_t x, double weight) {
        const std::uint64_t rest = m - x;
        const double v = value[x];
        const double w = weight * tilt[x];
        weights += weight;
        mass += w * after.mass[rest];
        first += w * (v * after.mass[rest] + after.first[rest]);
        second += w * (v * (v * after.mass[rest] + 2.0 * after.first[rest]) + after.second[rest]);
      };
      if (chain.share[i] >= 1.0) {
        visit(m, 1.0);
      } else {
        WalkBinomial(m, chain.share[i], 0, m, visit, [](double) { return false; });
      }
      after.mass[m] = mass / weights;
      after.first[m] = first / weights;
      after.second[m] = second / weights;
    }
  }
  const double mass = after.mass[n];
  const double mean = after.first[n] / mass;
  const double variance = after.second[n] / mass - mean * mean;
  return {NaturalLog(mass), mean, variance > 0.0 ? variance : 0.0};
}

}  // namespace

ExcessTail::ExcessTail(const GeneticCode& code, const Background& background)
    : code_(code), background_(background) {
  for (std::uint64_t x = 2; x <= kExcessTailMostCodons; ++x) {
    log_[x] = NaturalLog(static_cast<double>(x));
  }
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (code.divisor[f] != 0) chains_[f] = FamilyDrawOrder(code, background, f);
  }
}

double ExcessTail::UpperP(const CodonCounts& counts, const SequenceAnalysis& analysis) const {
  // The drawn codons of each family and of the gene: beyond the bound, nothing more.
  std::array<std::uint64_t, kFamilyCount + 1> drawn_counts{}, exempt_counts{};
  std::uint64_t codons = 0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (code_.divisor[f] == 0) continue;
    const Family& family = code_.families[f];
    for (unsigned m = 0; m < family.size; ++m) {
      const std::size_t codon = family.members[m];
      if (!background_.drawn[codon]) continue;
      // A codon the background never draws: the gene is not of the null.
      if (counts[codon] != 0 && background_.q[codon] == 0.0) return kNotANumber;
      drawn_counts[f] += counts[codon];
      if (code_.exempt[codon]) exempt_counts[f] += counts[codon];
    }
    codons += drawn_counts[f];
  }
  if (codons > kExcessTailMostCodons) return kNotANumber;
  std::array<Drawn, kFamilyCount> families;
  unsigned size = 0;
  double z = 0.0, top = 0.0, bottom = 0.0, top_p = 1.0;
  double farthest = std::numeric_limits<double>::infinity();
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const DrawOrder& chain = chains_[f];
    const std::uint64_t n = drawn_counts[f], exempt = exempt_counts[f];
    if (code_.divisor[f] == 0 || n == 0 || chain.size < 2) continue;
    Drawn& drawn = families[size++];
    drawn.chain = &chain;
    drawn.n = n;
    const FamilyValue value{
        log_[n], chain.exempt_first ? NaturalLog(analysis.totals[f]) - 1.0 - log_[n] : 0.0,
        1.0 / code_.log_divisor[f]};
    for (std::uint64_t x = 0; x <= n; ++x) drawn.codon_value[x] = value.Codon(log_, x);
    if (chain.exempt_first) {
      for (std::uint64_t x = 0; x <= n; ++x) drawn.exempt_value[x] = value.Exempt(x);
    }
    // The observed value, and the ends of the family's range. The sum of the members'
    // values is convex in their counts: it is largest with every codon on one member, and
    // smallest with the codons' members sharing as evenly as whole counts allow.
    const unsigned codon_members = chain.size - (chain.exempt_first ? 1u : 0u);
    for (unsigned i = chain.exempt_first ? 1 : 0; i < chain.size; ++i) {
      z += drawn.codon_value[counts[chain.codons[i]]];
    }
    if (chain.exempt_first) z += drawn.exempt_value[exempt];
    const double exempt_top = chain.exempt_first ? drawn.exempt_value[n] : 0.0;
    const double family_top = codon_members != 0 && exempt_top < 0.0 ? 0.0 : exempt_top;
    double top_share = 0.0;
    for (unsigned i = 0; i < chain.size; ++i) {
      const bool is_exempt = i == 0 && chain.exempt_first;
      if ((is_exempt ? exempt_top : 0.0) != family_top) continue;
      double power = 1.0;
      for (std::uint64_t x = 0; x < n; ++x) power *= chain.q[i];
      top_share += power;
    }
    top += family_top;
    top_p *= top_share;
    const auto even = [&](std::uint64_t m) {
      if (codon_members == 0) return m == 0 ? 0.0 : std::numeric_limits<double>::infinity();
      const std::uint64_t each = m / codon_members, more = m % codon_members;
      const double spread_part =
          more == 0 ? 0.0 : static_cast<double>(more) * drawn.codon_value[each + 1];
      return static_cast<double>(codon_members - more) * drawn.codon_value[each] + spread_part;
    };
    double family_bottom = even(n);
    if (chain.exempt_first) {
      for (std::uint64_t x = 1; x <= n; ++x) {
        const double with = drawn.exempt_value[x] + even(n - x);
        if (with < family_bottom) family_bottom = with;
      }
    }
    bottom += family_bottom;
    // The tilts' exponents stay within |t| times the family's spread of values.
    const double spread = static_cast<double>(n) *
                          (log_[chain.size] + 1.0 + std::fabs(value.exempt_slope)) *
                          value.inverse_log_k;
    if (kLargestTilt / spread < farthest) farthest = kLargestTilt / spread;
  }
  if (size == 0) return kNotANumber;
  const double tolerance = 1e-6 * static_cast<double>(codons);
  if (z >= top - tolerance) return top_p;
  if (z <= bottom + tolerance) return 1.0;
  const auto cumulants = [&](double t) {
    Cumulants k;
    for (unsigned i = 0; i < size; ++i) {
      const Cumulants one = FamilyCumulants(families[i], t);
      k.log_mgf += one.log_mgf;
      k.mean += one.mean;
      k.variance += one.variance;
    }
    return k;
  };
  return SaddlepointUpperP(z, tolerance, cumulants, farthest);
}

double GeneExcessP(const ExcessTail& tail, const CodonCounts& counts,
                   const SequenceAnalysis& analysis, double expected, double variance) {
  const double p = tail.UpperP(counts, analysis);
  if (p == p) return p;
  return ExcessP(analysis.score, expected, variance,
                 HighestScore(tail.code(), analysis.composition));
}

}  // namespace trelba
