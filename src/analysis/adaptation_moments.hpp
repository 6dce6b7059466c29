// The exact null mean and variance of a log-odds score of codon usage: the adaptation of a
// sequence to a reference, (1/L) sum over its codons of w_c with w_c = ln(P_c / Q_c), P the
// reference's usage within each amino acid and Q the background's.
//
// The null draws each codon of amino acid a from Q's usage within a, the sequence's
// amino-acid counts n_a held fixed: the codons are independent, so with mu_a and s_a the
// mean and variance of one codon's w under Q,
//   mean = (1/L) sum_a n_a mu_a,   variance = (1/L^2) sum_a n_a s_a,
// L = sum_a n_a. Each s_a is the Q-weighted mean squared deviation from mu_a (not the
// difference of two second moments); every sum is taken in a fixed order, so the values
// are exact and the same everywhere.
//
// The amino acids are those of SynonymousCodons (two codons or more, stops left out). A
// codon takes part when its weight is a number (NaN: a codon the background never holds,
// or one left out otherwise); its amino acid's Q is that of the codons that take part,
// over their sum. A sequence's codons that take no part count in no n_a.
#pragma once

#include <array>

#include "analysis/synonymous_codons.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// mu_a and s_a of every amino acid, by its place in SynonymousCodons::acids (NaN for an
// amino acid whose codons that take part have no Q between them), and which codons take
// part. Made once per reference and background.
struct AdaptationNull {
  std::array<double, kFamilyCount> mean{};
  std::array<double, kFamilyCount> variance{};
  std::array<bool, kCodonCount + 1> takes_part{};
};

AdaptationNull MakeAdaptationNull(const SynonymousCodons& synonymous, const CodonValues& weights,
                                  const CodonValues& q);

struct NullMoments {
  double mean = 0.0;
  double variance = 0.0;
};

// The null mean and variance of a sequence's adaptation from its counts; NaN for both
// where L is 0.
NullMoments AdaptationMoments(const SynonymousCodons& synonymous, const AdaptationNull& null,
                              const CodonCounts& counts);

}  // namespace trelba
