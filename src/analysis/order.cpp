#include "analysis/order.hpp"

#include <array>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "analysis/entropy_table.hpp"

namespace trelba {

namespace {

// TAA, TAG, TGA, TGG and ATG enter a family's entropy with their frequency itself, not
// with an entropy term, under every genetic code.
constexpr std::array<bool, kCodonCount + 1> kExempt = [] {
  std::array<bool, kCodonCount + 1> exempt{};
  for (int codon : {11, 12, 15, 16, 36}) exempt[static_cast<std::size_t>(codon)] = true;
  return exempt;
}();

}  // namespace

double EntropyTerm(double p) {
  if (p == 0.0) return p;
  const double log_p = std::log(p);
  return (log_p * p) * -1.0;
}

namespace {

// H of one family: the members' contributions added in ascending codon index.
template <typename Term>
double FamilyEntropy(const Family& family, const CodonValues& frequencies, Term term) {
  double entropy = 0.0;
  for (unsigned m = 0; m < family.size; ++m) {
    const std::size_t codon = family.members[m];
    const double contribution = kExempt[codon] ? frequencies[codon] : term(codon);
    entropy = m == 0 ? contribution : entropy + contribution;
  }
  return entropy;
}

// Families none of whose codons is in another family: their within-family frequencies are
// the counts divided once by the family total.
std::array<bool, kFamilyCount + 1> FamiliesOfTheirOwn(const GeneticCode& code) {
  std::array<std::uint8_t, kCodonCount + 1> memberships{};
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const Family& family = code.families[f];
    for (unsigned m = 0; m < family.size; ++m) ++memberships[family.members[m]];
  }
  std::array<bool, kFamilyCount + 1> own{};
  own[0] = true;  // worked out
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const Family& family = code.families[f];
    own[f] = true;
    for (unsigned m = 0; m < family.size; ++m) own[f] = own[f] && memberships[family.members[m]] == 1;
  }
  return own;
}

}  // namespace

void OrderValues(const GeneticCode& code, const CodonValues& frequencies, FamilyValues& order) {
  order[0] = 0.0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (code.divisor[f] == 0) {
      order[f] = 0.0;
      continue;
    }
    const double entropy = FamilyEntropy(code.families[f], frequencies,
                                         [&](std::size_t codon) { return EntropyTerm(frequencies[codon]); });
    order[f] = 1.0 - entropy / code.log_divisor[f];
  }
}

void OrderValues(const GeneticCode& code, const CodonCounts& counts, const FamilyValues& totals,
                 const CodonValues& frequencies, FamilyValues& order) {
  // Worked out again only when the families differ from the last call's in this thread
  // (a run uses one code). Compared by content: another code may live at the same address.
  static_assert(std::has_unique_object_representations_v<Family>, "families compared bytewise");
  thread_local std::array<Family, kFamilyCount + 1> own_families{};
  thread_local std::array<bool, kFamilyCount + 1> own{};
  if (std::memcmp(&own_families, &code.families, sizeof own_families) != 0 || !own[0]) {
    own = FamiliesOfTheirOwn(code);
    own_families = code.families;
  }
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
    if (own[f] && total <= static_cast<double>(kEntropyTableMaxTotal)) {
      const auto whole = static_cast<std::uint64_t>(total);
      entropy = FamilyEntropy(code.families[f], frequencies, [&](std::size_t codon) {
        return TabulatedEntropyTerm(counts[codon], whole);
      });
    } else {
      entropy = FamilyEntropy(code.families[f], frequencies,
                              [&](std::size_t codon) { return EntropyTerm(frequencies[codon]); });
    }
    order[f] = 1.0 - entropy / code.log_divisor[f];
  }
}

}  // namespace trelba
