#include "analysis/synonymous_codons.hpp"

#include <limits>

#include "codes/ncbi_tables.hpp"

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// Codon indices run T, C, A, G in each position: G or C last is index % 4 of 1 (G) or 2 (C).
bool EndsInGc(int codon) {
  const int third = (codon - 1) % 4;
  return third == 1 || third == 3;
}

}  // namespace

SynonymousCodons SynonymousCodonsOf(const GeneticCode& code) {
  const GeneticCode& acids = *NcbiGeneticCode(code.amino_acid_table);
  SynonymousCodons s;
  for (std::size_t c = 1; c <= kCodonCount; ++c) s.third_gc[c] = EndsInGc(static_cast<int>(c));
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const Family& family = acids.families[f];
    if (f == kStopFamily || family.size == 0) continue;
    s.sense_codons = static_cast<std::uint8_t>(s.sense_codons + family.size);
    for (unsigned m = 0; m < family.size; ++m) {
      s.acid_of[family.members[m]] = static_cast<std::uint8_t>(f);
      s.degeneracy[family.members[m]] = family.size;
    }
    if (family.size == 1) {
      ++s.single_codon_acids;
      continue;
    }
    s.acids[s.acid_count++] = {static_cast<std::uint8_t>(f), family};
    ++s.class_size[family.size];
    for (unsigned m = 0; m < family.size; ++m) s.synonymous[family.members[m]] = true;
  }
  return s;
}

double EffectiveNumberOfCodons(const SynonymousCodons& s, const CodonCounts& counts) {
  // Per class k: the sum of the amino acids' F, and how many have one.
  std::array<double, kCodonCount + 1> f_sum{};
  std::array<std::uint8_t, kCodonCount + 1> f_count{};
  for (std::size_t a = 0; a < s.acid_count; ++a) {
    const Family& codons = s.acids[a].codons;
    std::uint64_t n = 0;
    std::uint64_t squares = 0;
    for (unsigned m = 0; m < codons.size; ++m) {
      const std::uint64_t count = counts[codons.members[m]];
      n += count;
      squares += count * count;
    }
    // n * sum (count / n)^2 - 1 over n - 1, as whole numbers: (squares - n) / (n^2 - n);
    // not positive when every codon was used at most once.
    if (n < 2 || squares <= n) continue;
    f_sum[codons.size] += static_cast<double>(squares - n) / static_cast<double>(n * n - n);
    ++f_count[codons.size];
  }
  const auto mean = [&](std::size_t k) {
    return f_count[k] == 0 ? kNotANumber : f_sum[k] / f_count[k];
  };
  double enc = s.single_codon_acids;
  for (std::size_t k = 2; k <= kCodonCount; ++k) {
    if (s.class_size[k] == 0) continue;
    double f = mean(k);
    if (f_count[k] == 0 && k == 3) f = (mean(2) + mean(4)) / 2;  // Wright's rule
    enc += s.class_size[k] / f;                                  // NaN for a class without F
  }
  return enc > s.sense_codons ? static_cast<double>(s.sense_codons) : enc;
}

SynonymousThirds CountSynonymousThirds(const SynonymousCodons& s, const CodonCounts& counts) {
  SynonymousThirds thirds;
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    if (!s.synonymous[c]) continue;
    thirds.codons += counts[c];
    if (s.third_gc[c]) thirds.gc += counts[c];
  }
  return thirds;
}

double Gc3s(const SynonymousThirds& thirds) {
  return thirds.codons == 0 ? kNotANumber
                            : static_cast<double>(thirds.gc) / static_cast<double>(thirds.codons);
}

}  // namespace trelba
