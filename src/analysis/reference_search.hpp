// A reference set of highly expressed genes found in the input itself (--reference auto),
// without annotation: a self-consistent set of the genes whose codons are most likely under
// the set's own usage against the input's.
//
// Q_c is the input's share of codon c in its amino acid (codons the input never holds take
// no part); a gene may enter the set when it has at least kSearchMinimumCodons codons of
// amino acids of two or more codons (L_g); the set holds m = ceil(G / 100) genes (at least
// one), G the input's sequences. From a set S: R its genes' codons added up, P_c = R'_c over
// R' of c's amino acid (R'_c = R_c, or 0.5 where it is 0), and each gene's selection value
// a_g = the mean over the amino acids it uses of (1 / n_ga) sum n_gc ln(P_c / Q_c); the next
// S is the m eligible genes of highest a_g, ties to the earlier sequence.
//
// Start A begins with the m eligible genes of highest excess under Q; start B with every
// eligible gene, the size halved each round (never below m). Each stops at the first set of
// size m that repeats an earlier one, or after kSearchMaxRounds. A is taken unless its sign
// (ReferenceSign) is not positive and B's is: in a genome where the excess picks an
// AT-rich group of foreign genes, A's set prefers T-ending codons where highly expressed
// genes prefer C.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

inline constexpr std::uint64_t kSearchMinimumCodons = 80;
inline constexpr int kSearchMaxRounds = 50;

// Calls `visit` with every gene's counts in input order; false when they cannot be read.
using GeneCounts = std::function<bool(const std::function<void(const CodonCounts&)>& visit)>;

struct SearchStart {
  std::vector<std::uint64_t> genes;  // the set found, ascending sequence indices (from 0)
  CodonCounts pooled{};              // its genes' codons added up
  int rounds = 0;
  bool cycled = false;     // stopped at a set repeating one before the last
  bool unsettled = false;  // stopped after kSearchMaxRounds
  double sign = 0.0;       // ReferenceSign of the set against the input
};

struct SearchResult {
  SearchStart a;
  SearchStart b;
  bool chose_b = false;
  double starts_agree = 0.0;  // the share of the chosen set's genes the other holds too
  const SearchStart& chosen() const { return chose_b ? b : a; }
};

// Searches from both starts. `input` holds the input's pooled counts and `sequences` its
// number of sequences; `code` is the run's (its expected score gives start A's excess).
// False when the genes cannot be read back, or none is eligible.
bool SearchReference(const GeneticCode& code, const SynonymousCodons& synonymous,
                     const CodonCounts& input, std::uint64_t sequences, const GeneCounts& genes,
                     SearchResult& result);

}  // namespace trelba
