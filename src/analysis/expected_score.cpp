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

// The terms of a family under the background, for `drawn` drawn codons and the family
// total `total`: a drawn codon's expected entropy term and expected frequency (E[c / total]
// = n q / total, which is q where every codon is drawn); a codon not drawn keeps the term
// and frequency it has in the sequence.
struct ExpectedTerms {
  const Background& background;
  std::uint64_t drawn;
  double total;
  const CodonValues& frequencies;
  double Entropy(std::size_t codon) const {
    return background.drawn[codon] ? ExpectedEntropyTerm(drawn, background.q[codon], total)
                                   : EntropyTerm(frequencies[codon]);
  }
  double Frequency(std::size_t codon) const {
    if (!background.drawn[codon]) return frequencies[codon];
    const double n = static_cast<double>(drawn);
    const double q = background.q[codon];
    return drawn == 0 ? 0.0 : total == n ? q : n * q / total;
  }
};

// E[O_f]: the order rule (FamilyOrderValue) over the expected terms.
double ExpectedOrder(const GeneticCode& code, const Background& background, std::size_t f,
                     std::uint64_t drawn, double total, const CodonValues& frequencies) {
  return FamilyOrderValue(code, f, ExpectedTerms{background, drawn, total, frequencies});
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
