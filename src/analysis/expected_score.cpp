#include "analysis/expected_score.hpp"

#include <limits>

#include "analysis/binomial_expectation.hpp"
#include "analysis/order.hpp"
#include "analysis/score.hpp"

namespace trelba {
namespace {

constexpr std::size_t kCacheRow = kExpectedOrderCacheMaxTotal + 1;

// The frequencies of a sequence that holds only drawn codons, as far as the codons not
// drawn are concerned.
constexpr CodonValues kNoFrequencies{};

// E[O_f] for `drawn` drawn codons and the family total `total`; the codons not drawn enter
// with their frequencies in the sequence. Mirrors OrderValues term by term.
double ExpectedOrder(const GeneticCode& code, const Background& background, std::size_t f,
                     std::uint64_t drawn, double total, const CodonValues& frequencies) {
  if (code.divisor[f] == 0) return 0.0;
  const Family& family = code.families[f];
  double entropy = 0.0;
  for (unsigned m = 0; m < family.size; ++m) {
    const std::size_t codon = family.members[m];
    double contribution = 0.0;
    if (!background.drawn[codon]) {
      contribution = code.exempt[codon] ? frequencies[codon] : EntropyTerm(frequencies[codon]);
    } else if (code.exempt[codon]) {
      // E[c / total] = n q / total, which is q where every codon is drawn.
      const double n = static_cast<double>(drawn);
      const double q = background.q[codon];
      contribution = drawn == 0 ? 0.0 : total == n ? q : n * q / total;
    } else {
      contribution = ExpectedEntropyTerm(drawn, background.q[codon], total);
    }
    entropy = m == 0 ? contribution : entropy + contribution;
  }
  return 1.0 - entropy / code.log_divisor[f];
}

}  // namespace

ExpectedOrderCache::ExpectedOrderCache(const GeneticCode& code, const Background& background)
    : code_(code),
      background_(background),
      orders_((kFamilyCount + 1) * kCacheRow, std::numeric_limits<double>::quiet_NaN()) {}

double ExpectedOrderCache::ComputeOrder(std::size_t family, std::uint64_t drawn) {
  const double order =
      ExpectedOrder(code_, background_, family, drawn, static_cast<double>(drawn), kNoFrequencies);
  if (drawn <= kExpectedOrderCacheMaxTotal) orders_[family * kCacheRow + drawn] = order;
  return order;
}

void ExpectedOrderValues(ExpectedOrderCache& cache, const CodonCounts& counts,
                         const SequenceAnalysis& analysis, FamilyValues& expected) {
  const GeneticCode& code = cache.code();
  const Background& background = cache.background();
  expected[0] = 0.0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const double total = analysis.totals[f];
    if (code.unshared[f]) {  // every codon drawn: the total is their whole count
      expected[f] = cache.Order(f, static_cast<std::uint64_t>(total));
      continue;
    }
    const std::uint64_t drawn = DrawnCount(background, code.families[f], counts);
    // Where the codons not drawn are absent, the value depends on the family and `drawn`
    // only.
    expected[f] = total == static_cast<double>(drawn)
                      ? cache.Order(f, drawn)
                      : ExpectedOrder(code, background, f, drawn, total, analysis.frequencies);
  }
}

double ExpectedScore(ExpectedOrderCache& cache, const CodonCounts& counts,
                     const SequenceAnalysis& analysis) {
  FamilyValues expected;
  ExpectedOrderValues(cache, counts, analysis, expected);
  return SequenceScore(analysis.composition, expected);
}

}  // namespace trelba
