// Whether a reference set found in an input (--reference auto) stands for selection or for
// chance and composition. A search that keeps the genes most alike finds a set in any
// genome, even one of no selection at all, so the set's strength is told against the sets
// the same search finds in copies of the input whose codons are drawn anew, each from the
// input's usage of its amino acid (the counts of every gene's amino acids kept); and the
// set's GC3s against its input's genes', for in a genome of skewed GC3 and weak selection
// the set can be the tail of GC3s alone.
//
// A set named before any search (the genes whose headers name the translation machinery)
// is told against its own genes in the same copies: a set chosen without looking at codons
// is as strong as chance when the genome has no selection, and stronger by its genes'
// preference for the input's favoured codons when it has.
//
// The strength of a set of pooled counts R against the input's N: the mean over the set's
// codons of amino acids with two or more codons of ln(P_c / Q_c), P_c = R_c / R_a and
// Q_c = N_c / N_a within c's amino acid a (a divergence of the set's usage from the input's,
// each amino acid as often as the set holds it).
#pragma once

#include <cstdint>

#include "analysis/reference_search.hpp"
#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// Copies of the input searched, and the seed of their draws: the same copies every run.
inline constexpr int kChanceCopies = 5;
inline constexpr std::uint64_t kChanceSeed = 0x7265667472757374ULL;
// A set is warned of when its chance z is below this (or NaN), or when no more than this
// share of the genes has a GC3s as high as the set's.
inline constexpr double kChanceZWarning = 3.0;
inline constexpr double kGc3sTailWarning = 0.05;

// The strength of the set `set` against `input`; NaN when the set has no codon of an amino
// acid of two or more codons.
double SetStrength(const SynonymousCodons& synonymous, const CodonCounts& set,
                   const CodonCounts& input);

// Gene `gene`'s counts in copy `copy` of the input: its codons of each amino acid of two or
// more codons drawn anew from `input`'s usage of that amino acid (the same draws every run
// and platform: integers only).
void RedrawGene(const SynonymousCodons& synonymous, const CodonCounts& input,
                const CodonCounts& counts, int copy, std::uint64_t gene, CodonCounts& drawn);

// The strengths of the genes marked `mark` in each of the kChanceCopies copies, each copy's
// marked genes pooled, in one pass over the genes (NaN where they have no codon of a choice);
// false when the genes cannot be read back.
bool MarkedStrengthsByChance(const SynonymousCodons& synonymous, const CodonCounts& input,
                             const GeneCounts& genes, std::uint8_t mark,
                             double (&strengths)[kChanceCopies]);

struct ChanceStrength {
  double mean = 0.0;  // of the strengths of the sets found in the copies
  double z = 0.0;     // (strength - mean) / their standard deviation; NaN where it is 0
};

// `strength` against the strengths of the sets found in the kChanceCopies copies.
ChanceStrength StrengthByChance(double strength, const double (&copies)[kChanceCopies]);

// The share of the genes that may enter a set (kMarkEligible) whose GC3s is at or above
// `gc3s`; NaN without such genes; false when the genes cannot be read back.
bool ShareOfGc3sAbove(const SynonymousCodons& synonymous, const GeneCounts& genes, double gc3s,
                      double& share);

}  // namespace trelba
