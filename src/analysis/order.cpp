#include "analysis/order.hpp"

#include "analysis/entropy_table.hpp"
#include "numeric/natural_log.hpp"

namespace trelba {

double EntropyTerm(double p) {
  if (p == 0.0) return p;
  const double log_p = NaturalLog(p);
  return (log_p * p) * -1.0;
}

namespace {

// Every term computed from the frequencies.
struct ComputedTerms {
  const CodonValues& frequencies;
  double Entropy(std::size_t codon) const { return EntropyTerm(frequencies[codon]); }
  double Frequency(std::size_t codon) const { return frequencies[codon]; }
};

// Terms looked up by count and whole total (at most kEntropyTableMaxTotal): the table holds
// EntropyTerm(double(count) / double(total)), the frequency the plain path divides out.
struct TabulatedTerms {
  const CodonValues& frequencies;
  const CodonCounts& counts;
  std::uint64_t total;
  double Entropy(std::size_t codon) const { return TabulatedEntropyTerm(counts[codon], total); }
  double Frequency(std::size_t codon) const { return frequencies[codon]; }
};

// The frequencies of an unshared family as WithinFamilyFrequencies makes them from its
// counts: count / total, or the count itself (0) when the total is 0; the terms looked up
// where the table holds them.
struct CountTerms {
  const CodonCounts& counts;
  std::uint64_t total;
  double Frequency(std::size_t codon) const {
    const auto count = static_cast<double>(counts[codon]);
    return total != 0 ? count / static_cast<double>(total) : count;
  }
  double Entropy(std::size_t codon) const {
    return total <= kEntropyTableMaxTotal ? TabulatedEntropyTerm(counts[codon], total)
                                          : EntropyTerm(Frequency(codon));
  }
};

}  // namespace

void OrderValues(const GeneticCode& code, const CodonValues& frequencies, FamilyValues& order) {
  order[0] = 0.0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    order[f] = FamilyOrderValue(code, f, ComputedTerms{frequencies});
  }
}

void OrderValues(const GeneticCode& code, const CodonCounts& counts, const FamilyValues& totals,
                 const CodonValues& frequencies, FamilyValues& order) {
  order[0] = 0.0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    // Partial sums of counts only grow, so a double total of at most the table's bound was
    // added without rounding: it is the exact count total, and each frequency is
    // double(count) / double(total), as in the table. (A zero total left the counts, all
    // 0, as frequencies: the table's entry for 0 / 0 is EntropyTerm(0.0).)
    const double total = totals[f];
    if (code.unshared[f] && total <= static_cast<double>(kEntropyTableMaxTotal)) {
      const auto whole = static_cast<std::uint64_t>(total);
      order[f] = FamilyOrderValue(code, f, TabulatedTerms{frequencies, counts, whole});
    } else {
      order[f] = FamilyOrderValue(code, f, ComputedTerms{frequencies});
    }
  }
}

double UnsharedOrderValue(const GeneticCode& code, std::size_t f, const CodonCounts& counts,
                          std::uint64_t total) {
  return FamilyOrderValue(code, f, CountTerms{counts, total});
}

}  // namespace trelba
