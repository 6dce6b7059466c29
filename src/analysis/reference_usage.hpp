// What a set of highly expressed genes (the reference) says of each codon, and each gene's
// indices against it. The reference's table (w, the optimal codons and its usage P) is a
// property of the reference, made once and used for every input; adaptation's Q is each
// input's own usage:
// - CAI (Sharp & Li 1987): w_c = X_c / the largest X of its amino acid, X_c the reference's
//   count of c, or 0.5 where it is 0; an amino acid the reference lacks is left out; CAI
//   is the geometric mean of w over the gene's codons of the amino acids kept.
// - Fop (Ikemura 1981), its optimal codons by the chi-square contrast of highly expressed
//   genes with the others (Stenico, Lloyd & Sharp 1994, codonW's hilo): a codon is
//   optimal when its share of its amino acid is larger in the reference than in the rest of
//   the reference's genome (its genes not in the reference) and the 2x2 chi-square of its
//   count against the rest of its amino acid, reference against rest, exceeds 6.635
//   (p < 0.01, one degree of freedom); Fop is the gene's optimal codons over its codons of
//   the amino acids that have one.
// - adaptation: the log-odds per codon of the gene's codons under the reference's usage P
//   against the input's Q: (1/L) sum n_c ln(P_c / Q_c), P_c = R'_c / sum of R' over its
//   amino acid (R'_c the reference's count, or 0.5 where it is 0), Q_c = the input's share
//   of c in its amino acid; codons the input never holds take no part.
// The amino acids are those of SynonymousCodons: two or more codons, stops left out. Every
// number is made of IEEE double operations in a fixed order, NaturalLog and Exponential.
#pragma once

#include <array>
#include <cstdint>

#include "analysis/synonymous_codons.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// The chi-square a codon must pass to be optimal.
inline constexpr double kOptimalChiSquare = 6.635;
// The count given to a codon the reference lacks.
inline constexpr double kAbsentReferenceCount = 0.5;

// The reference's table, the same for every input of a run.
struct ReferenceTable {
  CodonValues w{};                              // relative adaptiveness; 0 where not kept
  std::array<bool, kCodonCount + 1> in_cai{};   // codons of amino acids the reference holds
  std::array<bool, kCodonCount + 1> optimal{};  // optimal codons (Fop)
  // Codons Fop counts: of amino acids with an optimal codon (a table read from a file may
  // leave some out).
  std::array<bool, kCodonCount + 1> in_fop{};
  CodonValues p{};  // P_c: the reference's usage of c within its amino acid (adaptation)
  // 2 R'_c (R' the reference's count, 0.5 where it is 0), whole numbers that tell exactly
  // whether two codons' log-odds are equal; all 0 for a table given by its w.
  CodonCounts doubled{};
  // Amino acids (by family number) of two or more codons that the reference lacks.
  std::array<bool, kFamilyCount + 1> absent{};
};

// The table of the reference's pooled counts `reference`, its optimal codons found against
// `rest`, the pooled counts of the genes of its genome that are not in it.
ReferenceTable TableOf(const SynonymousCodons& synonymous, const CodonCounts& reference,
                       const CodonCounts& rest);

// P of a table given by its w (a w table read from a file): P_c = w_c / the sum of w over
// its amino acid (X_c / sum X, as the counts give it); even use for an amino acid
// without w.
void UsageFromW(const SynonymousCodons& synonymous, ReferenceTable& table);

// What a table gives the genes of one input.
struct ReferenceUsage {
  CodonValues w{};                              // relative adaptiveness; 0 where not kept
  CodonValues log_w{};                          // ln w of the codons CAI reads
  std::array<bool, kCodonCount + 1> in_cai{};   // codons of amino acids the reference holds
  std::array<bool, kCodonCount + 1> optimal{};  // optimal codons (Fop)
  std::array<bool, kCodonCount + 1> in_fop{};   // codons of amino acids with an optimal codon
  CodonValues log_odds{};                       // ln(P_c / Q_c) of the codons adaptation reads
  CodonValues q{};                              // Q_c; 0 for codons the input never holds
  std::array<bool, kCodonCount + 1> in_adaptation{};  // codons of the input's amino acids
  // Amino acids (by family number) of two or more codons that the reference lacks.
  std::array<bool, kFamilyCount + 1> absent{};
  // Each codon's amino acid (family number; 0 for the rest), all ones for an optimal
  // codon and for a codon Fop counts (else 0), and by amino acid: whether CAI and
  // adaptation read it (1 or 0),
  // and the null of adaptation, each codon drawn from Q within its amino acid: the mean
  // and the variance of one codon's log-odds.
  std::array<std::uint8_t, kCodonCount + 1> acid_of{};
  std::array<std::uint64_t, kCodonCount + 1> optimal_mask{};
  std::array<std::uint64_t, kCodonCount + 1> fop_mask{};
  std::array<std::uint64_t, kFamilyCount + 1> acid_in_cai{};
  std::array<std::uint64_t, kFamilyCount + 1> acid_in_adaptation{};
  FamilyValues null_mean{};
  FamilyValues null_variance{};
  // Whether an amino acid's log-odds differ between its codons the input holds, decided
  // exactly from the counts (R'_c / N_c the same for all of them, or one codon, means no;
  // for a table given by its w, the same log-odds), 1 or 0: a sum of floating-point
  // variances that should be 0 rarely is.
  std::array<std::uint64_t, kFamilyCount + 1> acid_varies{};
  // The input's counts, by codon and by amino acid, and the largest |log-odds| and |mu_a|:
  // whether a gene's z is exactly 0.
  CodonCounts input{};
  std::array<std::uint64_t, kFamilyCount + 1> input_acid{};
  double largest_term = 0.0;
};

// The table `table` against the input's pooled counts `input`.
ReferenceUsage UsageAgainst(const SynonymousCodons& synonymous, const ReferenceTable& table,
                            const CodonCounts& input);
// The same of the table of `reference` whose optimal codons are found against `input`.
ReferenceUsage UsageAgainst(const SynonymousCodons& synonymous, const CodonCounts& reference,
                            const CodonCounts& input);

struct GeneIndices {
  double cai = 0.0;         // NaN without a codon CAI reads
  double fop = 0.0;         // NaN without a codon of an amino acid that has an optimal codon
  double adaptation = 0.0;  // NaN without a codon adaptation reads
  // (adaptation - its null mean) / its null standard deviation, the gene's amino acids
  // held fixed; NaN where the variance is 0, and 0 where the gene's codons of each amino
  // acid are in the input's proportions or equally weighted (its value then is 0 exactly,
  // which the sums in floating point miss by a few units in the last place).
  double adaptation_z = 0.0;
};

GeneIndices IndicesOf(const ReferenceUsage& usage, const CodonCounts& counts);

// How much more the reference prefers C- to T-ending codons than the input does, in the
// amino acids whose C-ending codons are the optimal ones in highly expressed genes across
// the tree of life (Phe, Tyr, Ile, Asn): the sum over those of them with C- and T-ending
// codons in the code of ln((R_C / R_T) / (N_C / N_T)), each count with 0.5 added. NaN when
// the code has none of them.
double ReferenceSign(const SynonymousCodons& synonymous, const CodonCounts& reference,
                     const CodonCounts& input);

}  // namespace trelba
