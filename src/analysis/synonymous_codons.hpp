// The amino acids that the indices of codon usage read (ENC, GC3s, CAI, Fop, RSCU): those
// of the NCBI table a code stands for (GeneticCode::amino_acid_table) with two or more
// codons, the stops left out; never a variant's own families, exempt codons or divisors.
// Built once for a run's code.
#pragma once

#include <array>
#include <cstdint>

#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

struct SynonymousCodons {
  struct AminoAcid {
    std::uint8_t family = 0;  // its number (kFamilyNames)
    Family codons;            // ascending
  };
  std::array<AminoAcid, kFamilyCount> acids{};  // ascending family number
  std::uint8_t acid_count = 0;
  // How many amino acids have k codons, by k (index 0 and 1 unused).
  std::array<std::uint8_t, kCodonCount + 1> class_size{};
  // The classes of `acids` by their number of codons k, ascending k: the order ENC adds
  // them in.
  struct Class {
    std::uint8_t k = 0;
    std::uint8_t size = 0;   // amino acids with k codons
    std::uint8_t first = 0;  // where their codons start in `class_codons`
  };
  std::array<Class, kFamilyCount> classes{};
  std::uint8_t class_count = 0;
  // The codons of every class's amino acids, class after class; within a class, amino acid
  // after amino acid in ascending family number, each one's k codons ascending.
  std::array<std::uint8_t, kCodonCount> class_codons{};
  // The codons of no amino acid of `acids` (stops, Met, Trp), whose counts GC3s leaves out.
  std::array<std::uint8_t, kCodonCount> others{};
  std::uint8_t other_count = 0;
  std::uint8_t single_codon_acids = 0;             // amino acids of one codon (Met, Trp)
  std::uint8_t sense_codons = 0;                   // codons of an amino acid
  std::array<bool, kCodonCount + 1> synonymous{};  // a codon of one of `acids`
  std::array<bool, kCodonCount + 1> third_gc{};    // a codon ending in G or C
  // The amino acid (family number) of every codon; 0 for stops.
  std::array<std::uint8_t, kCodonCount + 1> acid_of{};
  // k of every codon's amino acid (0 for stops).
  std::array<std::uint8_t, kCodonCount + 1> degeneracy{};
};

SynonymousCodons SynonymousCodonsOf(const GeneticCode& code);

// The effective number of codons (Wright 1990) of a sequence's counts: for each amino acid
// with n >= 2 codons in the sequence F = (n * sum p^2 - 1) / (n - 1), left out when not
// positive; F of a class of k-codon amino acids the mean of its Fs; ENC = the one-codon
// amino acids + sum over classes of (amino acids in the class) / F. A class without an F
// is NA, but the three-codon class, which takes the mean of the two- and four-codon
// classes' F; ENC above the sense codons is their number.
double EffectiveNumberOfCodons(const SynonymousCodons& synonymous, const CodonCounts& counts);

// G or C at the third position of the codons of `synonymous` amino acids: those codons, and
// those of them ending in G or C.
struct SynonymousThirds {
  std::uint64_t codons = 0;
  std::uint64_t gc = 0;
  void Add(const SynonymousThirds& other) {
    codons += other.codons;
    gc += other.gc;
  }
};
SynonymousThirds CountSynonymousThirds(const SynonymousCodons& synonymous,
                                       const CodonCounts& counts);
// The same from the counts of every codon together, `codons`, and of those ending in G or C,
// `gc3_codons` (as CheckCoding has them): the few codons of no synonymous amino acid taken
// off.
SynonymousThirds CountSynonymousThirds(const SynonymousCodons& synonymous,
                                       const CodonCounts& counts, std::uint64_t codons,
                                       std::uint64_t gc3_codons);

// gc / codons; NaN without codons.
double Gc3s(const SynonymousThirds& thirds);

}  // namespace trelba
