// Analysing a filled batch: each sequence's counts, numbers and the text of its outputs.
#pragma once

#include <optional>
#include <string_view>

#include "analysis/background.hpp"
#include "analysis/coding_checks.hpp"
#include "analysis/correspondence_analysis.hpp"
#include "analysis/excess_tail.hpp"
#include "analysis/expected_score.hpp"
#include "analysis/gene_composition.hpp"
#include "analysis/machinery_homology.hpp"
#include "analysis/order_value_memo.hpp"
#include "analysis/score_variance.hpp"
#include "analysis/sequence_analysis.hpp"
#include "analysis/synonymous_codons.hpp"
#include "analysis/trna_adaptation.hpp"
#include "codes/genetic_code.hpp"
#include "driver/sequence_batch.hpp"
#include "input/sequence_filters.hpp"
#include "reports/column_catalog.hpp"
#include "reports/row_cells.hpp"

namespace trelba {

// How the sequences of one input are reported.
struct ReportStyle {
  const GeneticCode* code = nullptr;
  TableLayout table;
  std::string_view file;                   // the input's name in the table
  const Background* background = nullptr;  // of the expected score, when it is computed
  bool count_only = false;                 // only pool the counts (PoolBatch): no output
  bool plot = false;                       // gather what the HTML report shows
  // Work out ENC and GC3s, which only the table, the summary and the HTML report show.
  bool indices = false;
  // Mark each sequence for the search for a reference set (its descriptions kept).
  bool mark_genes = false;
  SequenceFilters filters = {};  // which sequences are kept; whether indices read the first codon
  const TrnaWeights* trna = nullptr;  // the weights of the tai column (--trna)
  // --coa: each sequence's row of the analysis, made where it is analysed.
  const CoaColumns* coa = nullptr;
};

// Analyses one sequence after another and writes each one's outputs, reusing its
// scratch space: one per worker.
class SequenceReporter {
 public:
  explicit SequenceReporter(const ReportStyle& style);

  struct Reported {
    double score;
    double excess;    // score - expected score; NaN without a background
    double enc;       // the effective number of codons
    double excess_p;  // the excess's p-value, where the table shows it; else NaN
    CodingChecks checks;
    const CodonCounts* counts;  // those its indices read (without the first codon, if so asked)
  };
  // Writes the count block, order block, score line and table row of one sequence to
  // those of `out` that are not null; `pairs`, its pairs of bases, where the table shows
  // dinucleotides.
  Reported Report(const ReportOutputs& out, const SequenceRecord& record,
                  const DinucleotideCounts* pairs = nullptr);
  // Takes the style's background anew (its value has changed), keeping the rest.
  void TakeBackground();
  const ReportStyle& style() const { return style_; }
  const SynonymousCodons& synonymous() const { return synonymous_; }
  // The search for the translation machinery by homology, made on first use.
  MachineryHomology& homology() {
    if (!homology_) homology_.emplace(synonymous_);
    return *homology_;
  }
  const SequenceAnalysis& analysis() const { return analysis_; }  // of the last sequence
  const PlotCodons& plot_codons() const { return plot_codons_; }

 private:
  // The cells of the groups of columns the table has.
  void FillGroupCells(const CodonCounts& counts, const DinucleotideCounts* pairs, double enc,
                      const SynonymousThirds& thirds);

  const ReportStyle& style_;
  SynonymousCodons synonymous_;  // of the code's amino acids
  std::optional<MachineryHomology> homology_;
  std::optional<ExpectedOrderCache> expected_;
  std::optional<ScoreVarianceCache> variance_;  // beside expected_
  std::optional<ExcessTail> tail_;              // beside expected_
  SequenceAnalysis analysis_;
  OrderTexts order_texts_;
  OrderValueMemo memo_;
  CompositionCodons composition_codons_;
  PlotCodons plot_codons_;
  GroupCells group_cells_;
  bool groups_;            // the table has groups of columns (--columns)
  CodonCounts trimmed_{};  // a sequence's counts without its first codon
};

// Counts the bodies of a filled batch and writes every record's outputs into the batch's
// own texts (for the outputs `run` writes), or, when batches are analysed `in_order` (one
// worker), straight into `run`'s outputs.
void AnalyseBatch(SequenceBatch& batch, SequenceReporter& reporter, const ReportOutputs& run,
                  bool in_order);

// Counts the bodies of a filled batch and adds every record's counts to the batch's pooled
// counts: nothing analysed, nothing written (a count-only pass).
void PoolBatch(SequenceBatch& batch);

}  // namespace trelba
