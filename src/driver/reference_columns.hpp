// The columns against a reference set (--reference): each input is read once, every
// sequence's counts kept (reports/gene_count_store.hpp); once the input is read, the
// reference's table (the run's, or the one of the set found in it) and its pooled counts
// give the reference's usage against it (analysis/reference_usage.hpp), and each
// sequence's CAI, Fop, adaptation, its z and whether it is one of the reference's genes go
// into its cells of the whole input (driver/whole_input_columns.hpp), the summary's medians
// and the HTML report's points.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/codon_bias_index.hpp"
#include "analysis/reference_search.hpp"
#include "analysis/reference_usage.hpp"
#include "analysis/synonymous_codons.hpp"
#include "analysis/tail_probabilities.hpp"
#include "driver/input_reader.hpp"
#include "driver/options.hpp"
#include "driver/reference_file.hpp"
#include "reports/median_series.hpp"
#include "reports/plot_data.hpp"
#include "reports/row_cells.hpp"
#include "reports/staged_sink.hpp"

namespace trelba {

// How --reference auto found its set: the genes the headers name as the translation
// machinery, those whose proteins resemble it, or the search by codons.
inline constexpr std::string_view kRouteNames = "names";
inline constexpr std::string_view kRouteHomology = "homology";
inline constexpr std::string_view kRouteCodons = "codons";
inline constexpr std::string_view kRouteFile = "file";  // a reference file was given

// The reference set of one input, and what it gives the input.
struct ReferenceTotals {
  std::string name;   // the file, or auto:names / auto:A / auto:B
  std::string route;  // how a set was found in the input (kRouteNames ...); empty for a file
  std::uint64_t genes = 0;
  double rounds = 0.0;        // of the search; NaN for a file
  double sign = 0.0;          // ReferenceSign
  double starts_agree = 0.0;  // NaN for a file
  // How the set found stands against chance and GC3s (analysis/reference_trust.hpp); NaN
  // for a file.
  double strength = 0.0;
  double chance_strength = 0.0;
  double chance_z = 0.0;
  double gc3s = 0.0;
  double gc3s_above = 0.0;
  CodonCounts pooled{};                   // the reference genes' codons
  std::unique_ptr<FoundMembers> members;  // found in the input: which genes they are
  bool counts_known = true;               // false for a table of w without counts
  bool found = true;                      // false when the search found none: every column NA
  ReferenceTable table;
  std::string contrast;  // what the table's optimal codons were found against
  bool cbi = false;      // the table shows the codon bias index
  CbiCodons cbi_codons;  // when it does
  ReferenceUsage usage;
  std::optional<AdaptationTail> tail;  // adaptation's null against `usage`
  MedianSeries cai;
  MedianSeries fop;
  MedianSeries adaptation;
};

// The figures of the set found in the input (reference_trust.hpp) NaN: for a file, or where
// no set was found.
void SetTrustUnknown(ReferenceTotals& reference);

// The reference file (its table made) as an input's reference: its genes are the input's
// sequences marked the same as one of the file's (kMarkReferenceFile).
void TakeReferenceFile(const ReferenceFile& file, ReferenceTotals& reference);

enum class ReferenceFound {
  kYes,
  kNone,        // no sequence could be taken: said, and every column NA
  kUnreadable,  // the kept counts could not be read back
};

// The reference set found in an input read whole (--reference auto), with the warnings of
// its search naming the input `name`. Its table's optimal codons are found against the
// input's other genes (`label` in the codon usage), or given (`optimal`).
ReferenceFound FindReference(const GeneticCode& code, const SynonymousCodons& synonymous,
                             std::string_view name, const InputTotals& totals,
                             std::uint64_t sequences, ReferenceTotals& reference);
void MakeFoundTable(const SynonymousCodons& synonymous, std::string_view label,
                    const InputTotals& totals, const std::optional<OptimalCodonsText>& optimal,
                    ReferenceTotals& reference);

// After an input is read whole: the reference's usage against its pooled counts, and the
// codons of the codon bias index when the table shows it (`cbi`).
void UseReferenceAgainst(const SynonymousCodons& synonymous, const InputTotals& totals, bool cbi,
                         ReferenceTotals& reference);

// Every reader's step once an input is read whole: the reference set (the file's, its table
// made from the input where it waits for it, or the one found in the input: `file` null)
// and its usage against the input. kUnreadable leaves the usage unmade.
struct WholeInputReference {
  const GeneticCode& code;
  const SynonymousCodons& synonymous;
  ReferenceFile* file;                              // null: --reference auto
  const std::optional<OptimalCodonsText>& optimal;  // --optimal-codons
  std::string_view name;                            // the input in messages
  std::string_view label;                           // the input in the codon usage
  bool cbi;                                         // the table shows the codon bias index
};
ReferenceFound ChooseReference(const WholeInputReference& input, const InputTotals& totals,
                               std::uint64_t sequences, ReferenceTotals& reference);

// Sequence `sequence`'s (from 0, in input order; `marks` kept with its counts) indices,
// codon bias index and membership in `cells`, added to `reference`'s medians and to
// `plot`'s points (when there are). Called for every sequence in order.
void AddReferenceCells(ReferenceTotals& reference, const CodonCounts& counts, std::uint8_t marks,
                       std::uint64_t sequence, PlotData* plot, bool table, WholeInputCells& cells);

}  // namespace trelba
