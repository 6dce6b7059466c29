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
  std::size_t placed = 0;  // codons in class_codons
  for (std::size_t k = 2; k <= kCodonCount; ++k) {
    if (s.class_size[k] == 0) continue;
    s.classes[s.class_count++] = {static_cast<std::uint8_t>(k), s.class_size[k],
                                  static_cast<std::uint8_t>(placed)};
    for (std::size_t a = 0; a < s.acid_count; ++a) {
      const Family& codons = s.acids[a].codons;
      if (codons.size != k) continue;
      for (unsigned m = 0; m < codons.size; ++m) s.class_codons[placed++] = codons.members[m];
    }
  }
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    if (!s.synonymous[c]) s.others[s.other_count++] = static_cast<std::uint8_t>(c);
  }
  return s;
}

namespace {

// The sum of F over the amino acids of one class, `acids` of `k` codons each (`kK` codons
// when it is not 0: a loop of known length), whose codons start at `codons`, and how many
// have one. For each: n * sum (count / n)^2 - 1 over n - 1, as whole numbers (squares - n)
// / (n^2 - n); left out when n < 2 or when not positive (every codon used at most once).
// The sum is returned, not added through a reference, which would keep it in memory (a store
// and a load on every amino acid's path).
template <unsigned kK>
double SumClassF(const std::uint8_t* codons, unsigned k, unsigned acids, const CodonCounts& counts,
                 unsigned& count) {
  const unsigned size = kK != 0 ? kK : k;
  double sum = 0.0;
  for (unsigned a = 0; a < acids; ++a, codons += size) {
    std::uint64_t n = 0;
    std::uint64_t squares = 0;
    for (unsigned m = 0; m < size; ++m) {
      const std::uint64_t c = counts[codons[m]];
      n += c;
      squares += c * c;
    }
    if (n < 2 || squares <= n) continue;
    sum += static_cast<double>(squares - n) / static_cast<double>(n * n - n);
    ++count;
  }
  return sum;
}

}  // namespace

double EffectiveNumberOfCodons(const SynonymousCodons& s, const CodonCounts& counts) {
  // Per class: the mean F of its amino acids, added in ascending family order; NaN when none
  // has one. Loops of known length for the usual sizes of class.
  std::array<double, kFamilyCount> means;
  std::array<unsigned, kFamilyCount> f_count;
  for (std::size_t i = 0; i < s.class_count; ++i) {
    const SynonymousCodons::Class& c = s.classes[i];
    const std::uint8_t* const codons = s.class_codons.data() + c.first;
    unsigned count = 0;
    double sum = 0.0;
    switch (c.k) {
      case 2:
        sum = SumClassF<2>(codons, c.k, c.size, counts, count);
        break;
      case 3:
        sum = SumClassF<3>(codons, c.k, c.size, counts, count);
        break;
      case 4:
        sum = SumClassF<4>(codons, c.k, c.size, counts, count);
        break;
      case 6:
        sum = SumClassF<6>(codons, c.k, c.size, counts, count);
        break;
      default:
        sum = SumClassF<0>(codons, c.k, c.size, counts, count);
    }
    f_count[i] = count;
    means[i] = count == 0 ? kNotANumber : sum / count;
  }
  // The mean F of the class of k codons; NaN when there is no such class.
  const auto mean_of_k = [&](std::uint8_t k) {
    for (std::size_t i = 0; i < s.class_count; ++i) {
      if (s.classes[i].k == k) return means[i];
    }
    return kNotANumber;
  };
  double enc = s.single_codon_acids;
  for (std::size_t i = 0; i < s.class_count; ++i) {
    double f = means[i];
    if (f_count[i] == 0 && s.classes[i].k == 3) f = (mean_of_k(2) + mean_of_k(4)) / 2;  // Wright
    enc += s.classes[i].size / f;  // NaN for a class without F
  }
  return enc > s.sense_codons ? static_cast<double>(s.sense_codons) : enc;
}

SynonymousThirds CountSynonymousThirds(const SynonymousCodons& s, const CodonCounts& counts) {
  std::uint64_t codons = 0;
  std::uint64_t gc3_codons = 0;
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    codons += counts[c];
    if (s.third_gc[c]) gc3_codons += counts[c];
  }
  return CountSynonymousThirds(s, counts, codons, gc3_codons);
}

SynonymousThirds CountSynonymousThirds(const SynonymousCodons& s, const CodonCounts& counts,
                                       std::uint64_t codons, std::uint64_t gc3_codons) {
  SynonymousThirds thirds{codons, gc3_codons};
  for (std::size_t i = 0; i < s.other_count; ++i) {
    const std::size_t c = s.others[i];
    thirds.codons -= counts[c];
    if (s.third_gc[c]) thirds.gc -= counts[c];
  }
  return thirds;
}

double Gc3s(const SynonymousThirds& thirds) {
  return thirds.codons == 0 ? kNotANumber
                            : static_cast<double>(thirds.gc) / static_cast<double>(thirds.codons);
}

}  // namespace trelba
