// What flows through the pipeline: a batch of consecutive sequences, cut from the text by
// the scanner, and, once a worker has been at it, the text of each of their outputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/background.hpp"
#include "analysis/coding_checks.hpp"
#include "analysis/expected_score.hpp"
#include "analysis/score.hpp"
#include "analysis/score_variance.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "input/codon_reader.hpp"
#include "input/input_survey.hpp"
#include "input/sequence_facts.hpp"
#include "reports/gene_count_store.hpp"
#include "reports/html_report.hpp"
#include "reports/median_series.hpp"
#include "reports/order_texts.hpp"
#include "reports/output_buffer.hpp"
#include "reports/table_report.hpp"
#include "trelba/tables.hpp"

namespace trelba {

// Where each output of a run goes; a null output is not written.
struct ReportOutputs {
  OutputBuffer* order = nullptr;   // ".iik"
  OutputBuffer* scores = nullptr;  // ".ok"
  OutputBuffer* counts = nullptr;  // ".freq"
  OutputBuffer* table = nullptr;   // the table of results
};

struct SequenceRecord {
  SequenceNumber number = 0;
  std::uint64_t line = 0;   // of its header
  std::string id;           // its capacity is reused from batch to batch
  std::string description;  // kept only when asked for
  // The body's place in the batch's text, or its counts when it was too long to keep.
  std::size_t body_begin = 0;
  std::size_t body_end = 0;
  bool counted = false;
  CodonCounts counts{};
  SequenceFacts facts;
};

// Text of one output of one batch: in the buffer, and in the overflow before it when the
// buffer filled.
struct BatchText {
  explicit BatchText(std::size_t capacity) : buffer(overflow, capacity) {}
  StringSink overflow;
  OutputBuffer buffer;
};

struct SequenceBatch {
  SequenceBatch();
  std::size_t slot = 0;  // its number among the pipeline's batches
  std::vector<SequenceRecord> records;
  std::size_t size = 0;
  std::string text;             // the bodies of the records that hold no counts
  std::uint64_t u_letters = 0;  // letters U or u in the bodies
  BatchText order, scores, counts, table;
  std::vector<double> score_values;
  std::vector<double> excess_values;
  std::vector<double> enc_values;
  InputSurvey survey;
  CodingChecks coding;
  CodonCounts pooled{};  // every record's counts added, in a count-only pass
  PlotBatch plot;        // for the HTML report, when it is written
};

// How the sequences of one input are reported.
struct ReportStyle {
  const GeneticCode* code = nullptr;
  TableLayout table;
  std::string_view file;                   // the input's name in the table
  const Background* background = nullptr;  // of the expected score, when it is computed
  bool count_only = false;                 // only pool the counts: no analysis, no output
  bool plot = false;                       // gather what the HTML report shows
};

// Analyses one sequence after another and writes each one's outputs, reusing its
// scratch space: one per worker.
class SequenceReporter {
 public:
  explicit SequenceReporter(const ReportStyle& style);

  struct Reported {
    double score;
    double excess;  // score - expected score; NaN without a background
    double enc;     // the effective number of codons
    CodingChecks checks;
  };
  // Writes the count block, order block, score line and table row of one sequence to
  // those of `out` that are not null.
  Reported Report(const ReportOutputs& out, const SequenceRecord& record);
  bool count_only() const { return style_.count_only; }
  const ReportStyle& style() const { return style_; }
  const SequenceAnalysis& analysis() const { return analysis_; }  // of the last sequence

 private:
  const ReportStyle& style_;
  SynonymousCodons synonymous_;  // of the code's amino acids
  std::optional<ExpectedOrderCache> expected_;
  std::optional<ScoreVarianceCache> variance_;  // beside expected_
  SequenceAnalysis analysis_;
  OrderTexts order_texts_;
  OrderMemo memo_;
};

// Counts the bodies of a filled batch and writes every record's outputs into the batch's
// own texts (for the outputs `run` writes), or, when batches are analysed `in_order` (one
// worker), straight into `run`'s outputs.
void AnalyseBatch(SequenceBatch& batch, SequenceReporter& reporter, const ReportOutputs& run,
                  bool in_order);

// What the whole input adds up to, in input order.
struct InputTotals {
  AverageScore average;
  InputSurvey survey;
  CodingChecks coding;       // of every sequence together
  bool keep_scores = false;  // keep every score and excess (for the medians)
  MedianSeries scores;       // when kept: the score of every sequence
  MedianSeries excesses;
  MedianSeries encs;
  CodonCounts pooled{};  // the counts of every sequence added, in a count-only pass
  bool pool = false;     // add every sequence's counts to `pooled` (any pass)
  // With a reference set: every sequence's counts, kept in order.
  GeneCountStore* store = nullptr;
  std::uint64_t u_letters = 0;
  bool keep_plot = false;  // gather `plot`
  PlotData plot;           // what the HTML report shows of the input
};

// Appends an analysed batch's texts to the run's outputs and adds it to `totals`; false
// when an output has failed.
bool WriteBatch(SequenceBatch& batch, const ReportOutputs& run, InputTotals& totals);

// The scanner's sink: puts the sequences it cuts into batches, and hands each full batch
// on through `submit`. A body too long to keep is counted as it arrives, so that memory
// does not grow with it.
class BatchFiller {
 public:
  struct Wants {
    bool ids = false;           // keep identifiers (for the table)
    bool descriptions = false;  // keep descriptions
  };
  // `take()` gives a free batch, `submit(batch)` hands a full one on.
  template <class Take, class Submit>
  BatchFiller(Wants wants, Take&& take, Submit&& submit)
      : wants_(wants), take_(take), submit_(submit) {}

  void Start(SequenceNumber number, std::uint64_t line);
  void Id(const char* text, std::size_t size);
  void Description(const char* text, std::size_t size);
  void Body(const char* text, std::size_t size);
  void End();
  // Hands on the last batch, full or not.
  void Flush();

  std::uint64_t ids_cut() const { return ids_cut_; }
  std::uint64_t first_cut_line() const { return first_cut_line_; }

 private:
  SequenceBatch& Current();

  Wants wants_;
  std::function<SequenceBatch&()> take_;
  std::function<void(SequenceBatch&)> submit_;
  SequenceBatch* batch_ = nullptr;
  bool long_ = false;
  bool id_cut_ = false;
  CodonReader long_reader_;
  std::uint64_t ids_cut_ = 0;
  std::uint64_t first_cut_line_ = 0;
  std::size_t kept_ = 0;  // bytes of identifiers and descriptions in the batch
};

}  // namespace trelba
