#include "analysis/order.hpp"

#include <cmath>

namespace trelba {

double EntropyTerm(double p) {
  if (p == 0.0) return p;
  const double log_p = std::log(p);
  return (log_p * p) * -1.0;
}

void OrderValues(const GeneticCode& code, const CodonValues& frequencies, FamilyValues& order) {
  order[0] = 0.0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (code.divisor[f] == 0) {
      order[f] = 0.0;
      continue;
    }
    const Family& family = code.families[f];
    double entropy = 0.0;
    for (unsigned m = 0; m < family.size; ++m) {
      const std::size_t codon = family.members[m];
      const double p = frequencies[codon];
      const double contribution = code.exempt[codon] ? p : EntropyTerm(p);
      entropy = m == 0 ? contribution : entropy + contribution;
    }
    order[f] = 1.0 - entropy / code.log_divisor[f];
  }
}

}  // namespace trelba
