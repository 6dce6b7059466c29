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
//
// A set is never kept as a list of genes: it is a rule (the values its genes were chosen
// by, and the cut), told again gene by gene as the kept counts are read, so that the
// search's memory does not grow with the input.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/expected_score.hpp"
#include "analysis/sequence_analysis.hpp"
#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

inline constexpr std::uint64_t kSearchMinimumCodons = 80;
// With at least this many genes whose headers name a cytosolic ribosomal protein or
// elongation factor, those genes are the reference and no search is made.
inline constexpr std::uint64_t kNamedMinimum = 20;
inline constexpr int kSearchMaxRounds = 50;
// A set of at most this many genes is chosen in one pass, with a heap of them, and listed;
// a larger one (start B's first rounds) by the bits of its genes' keys, 16 at a time, a
// pass each.
inline constexpr std::uint64_t kHeapGenes = std::uint64_t{1} << 16;

// Calls `visit` with every gene's counts and marks (gene_marks.hpp) in input order; false
// when they cannot be read.
using GeneVisit = std::function<void(const CodonCounts& counts, std::uint8_t marks)>;
using GeneCounts = std::function<bool(const GeneVisit& visit)>;

// A value as a key that sorts as the value does, NaN lowest and -0 with +0.
std::uint64_t OrderKey(double value);

// The genes of a set: those of key above `key`, and the first `ties` of key `key`.
struct Cut {
  std::uint64_t key = 0;
  std::uint64_t ties = 0;
};

// Which eligible genes a set holds: all, or those its values and cut keep. A set chosen in
// one pass (at most kHeapGenes) lists its genes too, so that telling them again needs no
// values.
struct SetRule {
  // kNamed: the genes that carry `mark` (kMarkNamed: the headers name them as the
  // translation machinery; kMarkHomolog: their proteins resemble it), of any length.
  enum class By { kAll, kExcess, kLogOdds, kNamed };
  By by = By::kAll;
  std::uint8_t mark = 0;   // kNamed
  CodonValues log_odds{};  // kLogOdds: ln(P_c / Q_c), the set's values a_g
  Cut cut;
  bool listed = false;
  std::vector<std::uint64_t> genes;  // when listed: ascending sequence indices (from 0)
};

// What the search computes of one gene: its excess under Q and its selection value a_g.
class GeneValues {
 public:
  GeneValues(const GeneticCode& code, const SynonymousCodons& synonymous, const CodonCounts& input);
  double Excess(const CodonCounts& counts);
  // ln(P_c / Q_c) of every codon the input holds, P from `reference` with 0.5 for an
  // absent codon.
  CodonValues LogOdds(const CodonCounts& reference) const;
  // a_g: the mean over the amino acids the gene uses of their codons' mean log-odds.
  double Selection(const CodonValues& log_odds, const CodonCounts& counts) const;
  double Value(const SetRule& rule, const CodonCounts& counts);

 private:
  const GeneticCode& code_;
  const SynonymousCodons& s_;
  const CodonCounts& input_;
  CodonValues q_{};
  std::optional<ExpectedOrderCache> cache_;  // made on first use
  SequenceAnalysis analysis_;
};

// Tells, gene by gene in input order, whether a rule's set holds it.
class RuleWalk {
 public:
  RuleWalk(const SetRule& rule, GeneValues& values) : rule_(rule), values_(values) {}
  bool Next(const CodonCounts& counts, std::uint8_t marks);

 private:
  const SetRule& rule_;
  GeneValues& values_;
  std::uint64_t ties_seen_ = 0;
  std::uint64_t gene_ = 0;
  std::size_t listed_ = 0;  // the next of the listed genes
};

// The genes of a set found, told gene by gene in input order as the counts are read again.
class FoundMembers {
 public:
  FoundMembers(const GeneticCode& code, const SynonymousCodons& synonymous,
               const CodonCounts& input, const SetRule& rule)
      : values_(code, synonymous, input), rule_(rule), walk_(rule_, values_) {}
  FoundMembers(const FoundMembers&) = delete;
  FoundMembers& operator=(const FoundMembers&) = delete;
  bool Next(const CodonCounts& counts, std::uint8_t marks) { return walk_.Next(counts, marks); }

 private:
  GeneValues values_;
  SetRule rule_;
  RuleWalk walk_;
};

struct SearchStart {
  SetRule rule;             // the set found
  std::uint64_t genes = 0;  // how many it holds
  CodonCounts pooled{};     // its genes' codons added up
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
// False when the genes cannot be read back, or none is eligible. `heap_genes` is the
// largest set chosen with a heap (kHeapGenes; smaller in tests). `only_a` searches from
// start A alone (result.a; the rest left as it was).
bool SearchReference(const GeneticCode& code, const SynonymousCodons& synonymous,
                     const CodonCounts& input, std::uint64_t sequences, const GeneCounts& genes,
                     SearchResult& result, std::uint64_t heap_genes = kHeapGenes,
                     bool only_a = false);

}  // namespace trelba
