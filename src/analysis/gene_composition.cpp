#include "analysis/gene_composition.hpp"

#include <limits>

#include "analysis/amino_acid_properties.hpp"

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// Bases are numbered T=0, C=1, A=2, G=3 in the codon index: C and G are the odd ones.
constexpr std::uint8_t IsGc(std::size_t base) {
  return base % 2 == 1 ? 1 : 0;
}

double Share(std::uint64_t part, std::uint64_t whole) {
  return whole == 0 ? kNotANumber : static_cast<double>(part) / static_cast<double>(whole);
}

}  // namespace

CompositionCodons CompositionCodonsOf(const SynonymousCodons& synonymous) {
  CompositionCodons codons;
  // The bases each amino acid's codons end in.
  std::array<std::uint8_t, kFamilyCount + 1> endings{};
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    endings[synonymous.acid_of[c]] |= static_cast<std::uint8_t>(1u << ((c - 1) % 4));
  }
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    const std::uint8_t acid = synonymous.acid_of[c];
    if (acid == 0) continue;
    codons.sense[c] = 1;
    codons.gc1[c] = IsGc((c - 1) / 16);
    codons.gc2[c] = IsGc((c - 1) / 4 % 4);
    const AminoAcidProperties& properties = kAminoAcidProperties[acid];
    codons.hydropathy[c] = static_cast<std::int8_t>(properties.hydropathy_tenths);
    codons.aromatic[c] = properties.aromatic ? 1 : 0;
    codons.third[c] = static_cast<std::uint8_t>((c - 1) % 4);
    if (synonymous.synonymous[c]) {
      codons.synonymous[c] = 1;
      codons.third_choice[c] = endings[acid];
    }
  }
  return codons;
}

GeneComposition CompositionOf(const CompositionCodons& codons, const CodonCounts& counts) {
  std::uint64_t l_aa = 0, l_sym = 0, gc1 = 0, gc2 = 0, aromatic = 0;
  std::int64_t hydropathy = 0;
  std::array<std::uint64_t, 4> ending{};  // synonymous codons ending in each base
  std::array<std::uint64_t, 4> choice{};  // those of amino acids that could
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    const std::uint64_t n = counts[c] * codons.sense[c];
    l_aa += n;
    gc1 += n * codons.gc1[c];
    gc2 += n * codons.gc2[c];
    hydropathy += static_cast<std::int64_t>(n) * codons.hydropathy[c];
    aromatic += n * codons.aromatic[c];
    const std::uint64_t s = n * codons.synonymous[c];
    l_sym += s;
    ending[codons.third[c]] += s;
    for (std::size_t b = 0; b < 4; ++b)
      choice[b] += s * static_cast<std::uint64_t>((codons.third_choice[c] >> b) & 1);
  }
  GeneComposition g;
  g.l_aa = l_aa;
  g.l_sym = l_sym;
  g.gc1 = Share(gc1, l_aa);
  g.gc2 = Share(gc2, l_aa);
  g.gc12 = Share(gc1 + gc2, 2 * l_aa);
  for (std::size_t b = 0; b < 4; ++b) g.third_shares[b] = Share(ending[b], choice[b]);
  g.gravy = l_aa == 0 ? kNotANumber
                      : static_cast<double>(hydropathy) / (10.0 * static_cast<double>(l_aa));
  g.aromatic = Share(aromatic, l_aa);
  return g;
}

double EncRatio(double enc, double gc3s) {
  const double at3s = 1.0 - gc3s;
  const double expected = 2.0 + gc3s + 29.0 / (gc3s * gc3s + at3s * at3s);
  return (expected - enc) / expected;
}

}  // namespace trelba
