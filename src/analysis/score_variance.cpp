#include "analysis/score_variance.hpp"

#include <limits>

#include "analysis/binomial_walk.hpp"
#include "analysis/draw_order.hpp"
#include "numeric/natural_log.hpp"

namespace trelba {
namespace {

using Chain = ScoreVarianceCache::Chain;
using Kept = ScoreVarianceCache::Kept;

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();
// Weights whose sum with all the weights beyond them is below this share of the weights so
// far are left out.
constexpr double kNegligibleShare = 0x1p-60;

struct Moments {
  double mean = 0.0;
  double variance = 0.0;
};

// For x ~ Binomial(m, share) held to [lo, hi] (each sum divided by the weights it took):
// the mean of term(x) + after(m - x).mean, and the mean of its squared deviation from that
// mean plus after(m - x).variance. One walk: the values are taken less the first one (so
// that what is added up is as small as their spread), and the mean and the squared
// deviations from it are updated with each weight (West 1979): no difference of large
// second moments is taken.
template <class Term, class After>
Moments ChainStep(std::uint64_t m, double share, std::uint64_t lo, std::uint64_t hi, Term term,
                  After after) {
  if (share >= 1.0) {  // this member takes all
    const Moments rest = after(0);
    return {term(m) + rest.mean, rest.variance};
  }
  double first = 0.0;
  double weights = 0.0;
  double mean = 0.0;        // of the values less the first
  double deviations = 0.0;  // sum of weight * squared deviation from the mean so far
  double rest_variances = 0.0;
  WalkBinomial(
      m, share, lo, hi,
      [&](std::uint64_t x, double weight) {
        const Moments rest = after(m - x);
        const double value = term(x) + rest.mean;
        if (weights == 0.0) first = value;
        const double shifted = value - first;
        weights += weight;
        const double deviation = shifted - mean;
        mean += deviation * (weight / weights);
        deviations += weight * (deviation * (shifted - mean));
        rest_variances += weight * rest.variance;
      },
      [&](double rest) { return rest <= kNegligibleShare * weights; });
  return {first + mean, (deviations + rest_variances) / weights};
}

// Member i of the chain holding m codons, the members after it kept in `next` (null: the
// next member is the last, which takes whatever is left).
template <class XLogX>
Moments MemberMoments(const Chain& chain, unsigned i, std::uint64_t m, double log_total_less_one,
                      const Kept* next, XLogX x_log_x) {
  const std::uint64_t lo = next == nullptr || m <= next->last ? 0 : m - next->last;
  const std::uint64_t hi = next == nullptr ? m : m - next->first;
  const auto after = [&](std::uint64_t rest) -> Moments {
    if (next == nullptr) return {x_log_x(rest), 0.0};
    return {next->means[rest - next->first], next->variances[rest - next->first]};
  };
  if (i == 0 && chain.exempt_first) {
    const auto exempt = [&](std::uint64_t x) {
      return static_cast<double>(x) * log_total_less_one;
    };
    return ChainStep(m, chain.share[0], lo, hi, exempt, after);
  }
  return ChainStep(m, chain.share[i], lo, hi, x_log_x, after);
}

// The counts that the walk of Binomial(n, share) takes: first and last.
Kept WalkedCounts(std::uint64_t n, double share) {
  if (share >= 1.0) return {nullptr, nullptr, n, n};
  Kept span{nullptr, nullptr, n, 0};
  double weights = 0.0;
  WalkBinomial(
      n, share, 0, n,
      [&](std::uint64_t x, double weight) {
        weights += weight;
        span.first = x < span.first ? x : span.first;
        span.last = x > span.last ? x : span.last;
      },
      [&](double rest) { return rest <= kNegligibleShare * weights; });
  return span;
}

}  // namespace

ScoreVarianceCache::ScoreVarianceCache(const GeneticCode& code, const Background& background,
                                       std::uint64_t shared_total)
    : code_(code),
      background_(background),
      shared_total_(shared_total),
      x_log_x_(shared_total + 1),
      totals_((kFamilyCount + 1) * (shared_total + 1), kNotANumber) {
  for (std::uint64_t x = 2; x <= shared_total; ++x) {
    const auto whole = static_cast<double>(x);
    x_log_x_[x] = whole * NaturalLog(whole);
  }
  std::size_t kept = 0;
  std::size_t longest = 0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (code.divisor[f] == 0) continue;
    const DrawOrder order = FamilyDrawOrder(code, background, f);
    Chain& chain = chains_[f];
    chain.exempt_first = order.exempt_first;
    chain.size = order.size;
    const unsigned size = order.size;
    if (size < 2) continue;
    lookups_[f] = chain.exempt_first ? Lookup::kByDrawnIfTotal : Lookup::kByDrawn;
    for (unsigned i = 0; i < size; ++i) {
      chain.share[i] = order.share[i];
      chain.left[i] = order.from[i] / order.from[0];
    }
    chain.first_kept = kept;
    kept += size - 2;
    longest = size - 2 > longest ? size - 2 : longest;
  }
  filled_.assign(kept, 0);
  kept_ = std::make_unique_for_overwrite<double[]>(2 * kept * (shared_total + 1));
  window_ = std::make_unique_for_overwrite<double[]>(2 * longest * kScoreVarianceWindow);
}

double ScoreVarianceCache::XLogX(std::uint64_t x) {
  if (x <= shared_total_) return x_log_x_[x];
  // Beyond the table the counts of one family and n run over a few windows' width.
  if (far_.empty()) far_.assign(2 * kScoreVarianceWindow, Far{0, 0.0});
  Far& far = far_[x % far_.size()];
  if (far.x != x) {
    const auto whole = static_cast<double>(x);
    far = {x, whole * NaturalLog(whole)};
  }
  return far.x_log_x;
}

void ScoreVarianceCache::Fill(const Chain& chain, std::uint64_t through) {
  const std::size_t row = shared_total_ + 1;
  const auto x_log_x = [&](std::uint64_t x) { return x_log_x_[x]; };
  for (unsigned i = chain.size - 2u; i >= 1; --i) {
    const std::size_t index = chain.first_kept + i - 1;
    double* means = kept_.get() + 2 * index * row;
    const bool last_follows = i + 2u == chain.size;
    Kept next{};  // member i + 1, filled already
    if (!last_follows) next = {means + 2 * row, means + 3 * row, 0, through};
    for (std::uint64_t m = filled_[index]; m <= through; ++m) {
      const Moments step = MemberMoments(chain, i, m, 0.0, last_follows ? nullptr : &next, x_log_x);
      means[m] = step.mean;
      means[row + m] = step.variance;
    }
    if (filled_[index] <= through) filled_[index] = through + 1;
  }
}

double ScoreVarianceCache::Windowed(const Chain& chain, std::uint64_t drawn,
                                    double log_total_less_one) {
  const auto x_log_x = [&](std::uint64_t x) { return XLogX(x); };
  // Member i (1 to size - 2) holds the counts its share of `drawn` takes, beginning no
  // higher than member i - 1's (so that each count leaves the next member one of its own).
  std::array<Kept, kMaxFamilySize + 1> kept{};
  for (unsigned i = 1; i + 1 < chain.size; ++i) {
    kept[i] = WalkedCounts(drawn, chain.left[i]);
    const std::uint64_t before = i == 1 ? drawn : kept[i - 1].first;
    if (kept[i].first > before) kept[i].first = before;
    if (kept[i].last - kept[i].first >= kScoreVarianceWindow) return kNotANumber;
    kept[i].means = window_.get() + 2 * (i - 1) * kScoreVarianceWindow;
    kept[i].variances = kept[i].means + kScoreVarianceWindow;
  }
  for (unsigned i = chain.size - 2u; i >= 1; --i) {
    const Kept* next = i + 2u == chain.size ? nullptr : &kept[i + 1];
    for (std::uint64_t m = kept[i].first; m <= kept[i].last; ++m) {
      const Moments step = MemberMoments(chain, i, m, 0.0, next, x_log_x);
      kept[i].means[m - kept[i].first] = step.mean;
      kept[i].variances[m - kept[i].first] = step.variance;
    }
  }
  const Kept* next = chain.size == 2 ? nullptr : &kept[1];
  return MemberMoments(chain, 0, drawn, log_total_less_one, next, x_log_x).variance;
}

double ScoreVarianceCache::TotalVariance(std::size_t family, std::uint64_t drawn, double total) {
  const Chain& chain = chains_[family];
  if (chain.size < 2 || drawn == 0) return 0.0;
  const bool kept =
      drawn <= shared_total_ && (!chain.exempt_first || total == static_cast<double>(drawn));
  double* slot = kept ? &totals_[family * (shared_total_ + 1) + drawn] : nullptr;
  if (slot != nullptr && *slot == *slot) return *slot;
  const double log_total_less_one = chain.exempt_first ? NaturalLog(total) - 1.0 : 0.0;
  double variance = 0.0;
  if (drawn <= shared_total_) {
    const std::size_t row = shared_total_ + 1;
    Kept next{};
    if (chain.size > 2) {
      Fill(chain, drawn);
      double* means = kept_.get() + 2 * chain.first_kept * row;
      next = {means, means + row, 0, drawn};
    }
    variance = MemberMoments(chain, 0, drawn, log_total_less_one, chain.size == 2 ? nullptr : &next,
                             [&](std::uint64_t x) { return x_log_x_[x]; })
                   .variance;
  } else {
    variance = Windowed(chain, drawn, log_total_less_one);
  }
  if (slot != nullptr) *slot = variance;
  return variance;
}

void OrderVariances(ScoreVarianceCache& cache, const CodonCounts& counts,
                    const SequenceAnalysis& analysis, FamilyValues& variances) {
  const GeneticCode& code = cache.code();
  const Background& background = cache.background();
  variances[0] = 0.0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const double total = analysis.totals[f];
    // A count: whole and far below 2^63, so the signed conversion (one instruction) serves.
    const std::uint64_t drawn = code.unshared[f]
                                    ? static_cast<std::uint64_t>(static_cast<std::int64_t>(total))
                                    : DrawnCount(background, code.families[f], counts);
    // A family of no divisor has no chain: no spread.
    const double spread = cache.KeptTotalVariance(f, drawn, total);
    const double scale = total * code.log_divisor[f];
    variances[f] = spread == 0.0 ? 0.0 : spread / (scale * scale);
  }
}

double ScoreVariance(ScoreVarianceCache& cache, const CodonCounts& counts,
                     const SequenceAnalysis& analysis) {
  FamilyValues variances;
  OrderVariances(cache, counts, analysis, variances);
  const FamilyValues& composition = analysis.composition;
  double variance = composition[1] * composition[1] * variances[1];
  for (std::size_t f = 2; f <= kFamilyCount; ++f) {
    if (f != kStopFamily) variance += composition[f] * composition[f] * variances[f];
  }
  return variance;
}

}  // namespace trelba
