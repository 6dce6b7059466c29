#include "analysis/tail_probabilities.hpp"

#include <cmath>
#include <limits>

#include "analysis/saddlepoint.hpp"
#include "numeric/exponential.hpp"
#include "numeric/gamma_tail.hpp"
#include "numeric/natural_log.hpp"

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

}  // namespace

double ExcessP(double score, double expected, double variance, double highest) {
  if (!(expected > 0.0) || !(variance > 0.0) || score != score) return kNotANumber;
  // A beta distribution on [0, highest] with the mean and variance, where they allow one.
  const double m = expected / highest, v = variance / (highest * highest);
  const double spread = m * (1.0 - m) / v - 1.0;
  if (highest > expected && highest >= score && spread > 0.0) {
    const double x = score / highest;
    return BetaRegularized(spread * (1.0 - m), spread * m, 1.0 - x);
  }
  // Shape expected^2 / variance, scale variance / expected.
  return UpperGammaRegularized(expected * expected / variance, score * expected / variance);
}

double HighestScore(const GeneticCode& code, const FamilyValues& composition) {
  double highest = 0.0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (f != kStopFamily && code.divisor[f] != 0) highest += composition[f];
  }
  return highest;
}

AdaptationTail::AdaptationTail(const SynonymousCodons& synonymous, const ReferenceUsage& usage) {
  for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
    const Family& codons = synonymous.acids[a].codons;
    Acid acid;
    for (unsigned m = 0; m < codons.size; ++m) {
      const std::uint8_t c = codons.members[m];
      if (!usage.in_adaptation[c]) continue;
      acid.codons[acid.size] = c;
      acid.w[acid.size] = usage.log_odds[c];
      acid.q[acid.size] = usage.q[c];
      ++acid.size;
    }
    if (acid.size == 0) continue;
    acid.lowest = acid.highest = acid.w[0];
    for (unsigned i = 1; i < acid.size; ++i) {
      if (acid.w[i] < acid.lowest) acid.lowest = acid.w[i];
      if (acid.w[i] > acid.highest) acid.highest = acid.w[i];
    }
    for (unsigned i = 0; i < acid.size; ++i) {
      if (acid.w[i] == acid.highest) acid.top_share += acid.q[i];
    }
    acids_[acid_count_++] = acid;
  }
}

namespace {

// An amino acid's cumulants at t, its exponentials taken from the highest (t > 0) or lowest
// (t < 0) log-odds so that none overflows.
template <class Acid>
Cumulants CumulantsAt(const Acid& acid, double t) {
  const double shift = t >= 0.0 ? t * acid.highest : t * acid.lowest;
  double total = 0.0, first = 0.0;
  std::array<double, kMaxFamilySize> e{};
  for (unsigned i = 0; i < acid.size; ++i) {
    e[i] = acid.q[i] * Exponential(t * acid.w[i] - shift);
    total += e[i];
    first += e[i] * acid.w[i];
  }
  Cumulants k;
  k.mean = first / total;
  double second = 0.0;
  for (unsigned i = 0; i < acid.size; ++i) {
    const double deviation = acid.w[i] - k.mean;
    second += e[i] * (deviation * deviation);
  }
  k.variance = second / total;
  k.log_mgf = shift + NaturalLog(total);
  return k;
}

}  // namespace

double AdaptationTail::UpperP(const CodonCounts& counts) const {
  // The gene's amino acids whose codons differ in log-odds, with their counts; the sum s
  // over them (the others add a fixed amount to S and s alike).
  std::array<std::uint64_t, kFamilyCount> n{};
  double s = 0.0, lowest = 0.0, highest = 0.0, spread = 0.0;
  bool any = false;
  for (unsigned a = 0; a < acid_count_; ++a) {
    const Acid& acid = acids_[a];
    if (acid.lowest == acid.highest) continue;
    for (unsigned i = 0; i < acid.size; ++i) {
      const std::uint64_t count = counts[acid.codons[i]];
      n[a] += count;
      s += static_cast<double>(count) * acid.w[i];
    }
    if (n[a] == 0) continue;
    any = true;
    const auto na = static_cast<double>(n[a]);
    lowest += na * acid.lowest;
    highest += na * acid.highest;
    spread += na * (acid.highest - acid.lowest);
  }
  if (!any) return kNotANumber;
  // At the ends of its range S takes one value: there the exact probability.
  const double tolerance = spread * 1e-12;
  if (s <= lowest + tolerance) return 1.0;
  if (s >= highest - tolerance) {
    double log_p = 0.0;
    for (unsigned a = 0; a < acid_count_; ++a) {
      if (n[a] != 0) log_p += static_cast<double>(n[a]) * NaturalLog(acids_[a].top_share);
    }
    return Exponential(log_p);
  }
  // K at t: its value, first and second derivatives, amino acid after amino acid.
  const auto cumulants = [&](double t) {
    Cumulants k;
    for (unsigned a = 0; a < acid_count_; ++a) {
      if (n[a] == 0) continue;
      const Cumulants one = CumulantsAt(acids_[a], t);
      const auto na = static_cast<double>(n[a]);
      k.log_mgf += na * one.log_mgf;
      k.mean += na * one.mean;
      k.variance += na * one.variance;
    }
    return k;
  };
  return SaddlepointUpperP(s, tolerance, cumulants);
}

}  // namespace trelba
