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

// H of one family: the members' contributions added in ascending codon index.
// The code's exempt codons enter with their frequency.
template <typename Term>
double FamilyEntropy(const GeneticCode& code, const Family& family, const CodonValues& frequencies,
                     Term term) {
  double entropy = 0.0;
  for (unsigned m = 0; m < family.size; ++m) {
    const std::size_t codon = family.members[m];
    const double contribution = code.exempt[codon] ? frequencies[codon] : term(codon);
    entropy = m == 0 ? contribution : entropy + contribution;
  }
  return entropy;
}

}  // namespace

void OrderValues(const GeneticCode& code, const CodonValues& frequencies, FamilyValues& order) {
  order[0] = 0.0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (code.divisor[f] == 0) {
      order[f] = 0.0;
      continue;
    }
    const double entropy =
        FamilyEntropy(code, code.families[f], frequencies,
                      [&](std::size_t codon) { return EntropyTerm(frequencies[codon]); });
    order[f] = 1.0 - entropy / code.log_divisor[f];
  }
}

void OrderValues(const GeneticCode& code, const CodonCounts& counts, const FamilyValues& totals,
                 const CodonValues& frequencies, FamilyValues& order) {
  order[0] = 0.0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (code.divisor[f] == 0) {
      order[f] = 0.0;
      continue;
    }
    // Partial sums of counts only grow, so a double total of at most the table's bound was
    // added without rounding: it is the exact count total, and each frequency is
    // double(count) / double(total), as in the table. (A zero total left the counts, all
    // 0, as frequencies: the table's entry for 0 / 0 is EntropyTerm(0.0).)
    const double total = totals[f];
    double entropy = 0.0;
    if (code.unshared[f] && total <= static_cast<double>(kEntropyTableMaxTotal)) {
      const auto whole = static_cast<std::uint64_t>(total);
      entropy = FamilyEntropy(code, code.families[f], frequencies, [&](std::size_t codon) {
        return TabulatedEntropyTerm(counts[codon], whole);
      });
    } else {
      entropy = FamilyEntropy(code, code.families[f], frequencies,
                              [&](std::size_t codon) { return EntropyTerm(frequencies[codon]); });
    }
    order[f] = 1.0 - entropy / code.log_divisor[f];
  }
}

double UnsharedOrderValue(const GeneticCode& code, std::size_t f, const CodonCounts& counts,
                          std::uint64_t total) {
  if (code.divisor[f] == 0) return 0.0;
  const Family& family = code.families[f];
  // The frequencies as WithinFamilyFrequencies makes them: count / total, or the count
  // itself (0) when the total is 0.
  const auto whole = static_cast<double>(total);
  const auto frequency = [&](std::size_t codon) {
    const auto count = static_cast<double>(counts[codon]);
    return total != 0 ? count / whole : count;
  };
  double entropy = 0.0;
  for (unsigned m = 0; m < family.size; ++m) {
    const std::size_t codon = family.members[m];
    double contribution = 0.0;
    if (code.exempt[codon]) {
      contribution = frequency(codon);
    } else if (total <= kEntropyTableMaxTotal) {
      contribution = TabulatedEntropyTerm(counts[codon], total);
    } else {
      contribution = EntropyTerm(frequency(codon));
    }
    entropy = m == 0 ? contribution : entropy + contribution;
  }
  return 1.0 - entropy / code.log_divisor[f];
}

}  // namespace trelba
