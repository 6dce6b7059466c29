// The exact variance of a sequence's score under the null of the expected score
// (expected_score.hpp): the drawn codons of each family ~ Multinomial(n_f, q) from the
// background, families independent, the composition held fixed.
//
// Var(score) = sum over the families but stop of composition_f^2 * Var(O_f), and
// Var(O_f) = Var(T H_f) / (T ln k)^2, T being the family total by which the analysis divides
// (the drawn count n, or more where a codon in two families keeps the sequence's frequency).
// With x ln x for a count's term, T H_f = const - sum x ln x + E (1 - ln T) over the family's
// drawn codons, E being the drawn count of its exempt codons (which enter with their
// frequency): the codons not drawn are constants, and so is the sum of the drawn counts.
// That sum is the variance of the exact terms of which the analysis rounds each to a double
// (the two differ far below 1e-12 relative).
//
// The drawn codons are taken in a chain (draw_order.hpp): the exempt codons as one (their
// total E), then every drawn codon of positive q in member order. Given m codons still to
// place, the chain's next member takes x ~ Binomial(m, its q over the q of itself and those
// after it) and the rest go on; the law of total variance then gives, member by member,
//   F_i(m) = E[t_i(x) + F_{i+1}(m - x)]
//   V_i(m) = E[(t_i(x) + F_{i+1}(m - x) - F_i(m))^2 + V_{i+1}(m - x)]
// and the last member takes all: F = t(m), V = 0. Var(T H_f) = V_0(n). Every variance is a
// weighted mean of squared deviations from the mean of the same values plus variances, all
// non-negative: no difference of large second moments is taken, and the values are taken
// less the first of each sum so that what is added up is no larger than their spread. Each
// binomial sum is walked from its mode and cut where the rest weighs below 2^-60 of it
// (binomial_walk.hpp), its operations in a fixed order: exact and the same everywhere.
//
// No member after the first depends on T, so F_i and V_i for i >= 1 are kept by m once
// computed and serve every n of the family up to kScoreVarianceSharedTotal; Var(T H_f) is
// kept by family and n. Beyond that bound each n is computed on its own, the m of each member
// held to the range that the binomial of the codons left to it spans (the same 2^-60 cut);
// where such a range would exceed kScoreVarianceWindow (a family of about 200,000 codons)
// the variance is NaN.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "analysis/background.hpp"
#include "analysis/expected_score.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// Largest drawn count of a family whose values are kept once computed.
inline constexpr std::uint64_t kScoreVarianceSharedTotal = kExpectedOrderCacheMaxTotal;
// Most counts m a chain member holds at once for a family beyond that.
inline constexpr std::uint64_t kScoreVarianceWindow = 4096;

// The values above for one code and background, each computed on first use. Allocates when
// made, about 1.4 MB of address space under the standard code, of which 0.4 MB are touched
// then and the rest only as the counts that occur need it; and 128 kB more the first time a
// family beyond kScoreVarianceSharedTotal comes. Not shared: one per analysing thread.
// `code` must outlive it. `shared_total` other than the default is for tests of the path
// beyond it.
class ScoreVarianceCache {
 public:
  ScoreVarianceCache(const GeneticCode& code, const Background& background,
                     std::uint64_t shared_total = kScoreVarianceSharedTotal);

  const GeneticCode& code() const { return code_; }
  const Background& background() const { return background_; }

  // Var(T H_f) of family f whose drawn codons number `drawn`, `total` being T.
  double TotalVariance(std::size_t family, std::uint64_t drawn, double total);
  // The same, read where it is kept already (the case of almost every family of every
  // sequence) without a call; computed by TotalVariance otherwise.
  double KeptTotalVariance(std::size_t family, std::uint64_t drawn, double total) {
    const Lookup lookup = lookups_[family];
    if (drawn == 0 || lookup == Lookup::kNoSpread) return 0.0;
    if (drawn <= shared_total_ &&
        (lookup == Lookup::kByDrawn || total == static_cast<double>(drawn))) {
      const double kept = totals_[family * (shared_total_ + 1) + drawn];
      if (kept == kept) return kept;
    }
    return TotalVariance(family, drawn, total);
  }

  // The drawn codons of a family in the order in which they are placed.
  struct Chain {
    std::uint8_t size = 0;
    bool exempt_first = false;  // member 0 is the exempt codons' total
    // Of each member: its q over the q of itself and the members after it; and the q of
    // itself and the members after it over that of the whole chain.
    std::array<double, kMaxFamilySize + 1> share{};
    std::array<double, kMaxFamilySize + 1> left{};
    std::size_t first_kept = 0;  // where its members 1 to size - 2 are kept
  };
  // The values of members 1 to size - 2 for counts first to last.
  struct Kept {
    double* means;
    double* variances;
    std::uint64_t first;
    std::uint64_t last;
  };

 private:
  void Fill(const Chain& chain, std::uint64_t through);
  double Windowed(const Chain& chain, std::uint64_t drawn, double log_total_less_one);
  double XLogX(std::uint64_t x);  // x ln x, 0 for 0

  const GeneticCode& code_;
  Background background_;
  std::uint64_t shared_total_;
  std::array<Chain, kFamilyCount + 1> chains_{};
  // Of each family, how its Var(T H_f) is kept: none (fewer than two members in its chain:
  // 0), by drawn count, or by drawn count where T is that count (exempt codons first).
  enum class Lookup : std::uint8_t { kNoSpread, kByDrawn, kByDrawnIfTotal };
  std::array<Lookup, kFamilyCount + 1> lookups_{};
  std::vector<double> x_log_x_;        // x ln x for x up to shared_total
  std::vector<double> totals_;         // Var(T H_f) by family and n, NaN where not computed
  std::vector<std::uint64_t> filled_;  // by kept member: the m below which it is computed
  std::unique_ptr<double[]> kept_;     // F then V of every kept member, by m
  std::unique_ptr<double[]> window_;   // the same beyond shared_total, for one n
  struct Far {
    std::uint64_t x;
    double x_log_x;
  };
  std::vector<Far> far_;  // x ln x beyond shared_total by x modulo its size, once needed
};

// Var(O_f) of every family of a sequence, from its counts and their analysis: 0 for the
// families whose order value is fixed and for those of no drawn codon.
void OrderVariances(ScoreVarianceCache& cache, const CodonCounts& counts,
                    const SequenceAnalysis& analysis, FamilyValues& variances);

// Var(score): composition_f^2 * Var(O_f) added in ascending family order, the stop family
// left out, as SequenceScore adds; NaN exactly where the score is NaN (and where a family is
// beyond kScoreVarianceWindow).
double ScoreVariance(ScoreVarianceCache& cache, const CodonCounts& counts,
                     const SequenceAnalysis& analysis);

}  // namespace trelba
