#include "analysis/frequencies.hpp"

namespace trelba {

void WithinFamilyFrequencies(const GeneticCode& code, const CodonCounts& counts,
                             CodonValues& values, FamilyValues& totals) {
  for (int k = 1; k <= kCodonCount; ++k) {
    values[static_cast<std::size_t>(k)] = static_cast<double>(counts[static_cast<std::size_t>(k)]);
  }
  totals[0] = 0.0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const Family& family = code.families[f];
    // An NCBI table can leave a family empty (no stop codon under tables 27, 28 and 31).
    double total = family.size != 0 ? values[family.members[0]] : 0.0;
    for (unsigned m = 1; m < family.size; ++m) total += values[family.members[m]];
    totals[f] = total;
    if (total != 0.0) {
      for (unsigned m = 0; m < family.size; ++m) {
        values[family.members[m]] = values[family.members[m]] / total;
      }
    }
  }
}

void FamilyComposition(const GeneticCode& code, const FamilyValues& totals,
                       FamilyValues& composition) {
  double denominator = totals[code.denominator[0]];
  for (unsigned i = 1; i < code.denominator_size; ++i) denominator += totals[code.denominator[i]];
  composition[0] = 0.0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    composition[f] = f == kStopFamily ? 0.0 : totals[f] / denominator;
  }
}

}  // namespace trelba
