// Writing an analysed batch: its texts appended to the run's outputs, its numbers added to
// the input's totals, in input order.
#pragma once

#include <cstdint>

#include "analysis/coding_checks.hpp"
#include "analysis/correspondence_analysis.hpp"
#include "analysis/score.hpp"
#include "driver/reference_genes.hpp"
#include "driver/sequence_batch.hpp"
#include "input/input_survey.hpp"
#include "reports/gene_count_store.hpp"
#include "reports/median_series.hpp"
#include "reports/plot_data.hpp"
#include "reports/staged_sink.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

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
  // With columns of the whole input: every sequence's counts, kept in order.
  GeneCountStore* store = nullptr;
  // Its sequences that are a gene of the reference file (or, reading that file, its genes).
  ReferenceMatches matches;
  // With --coa: every sequence added, in order, with its ENC.
  CoaSums* coa = nullptr;
  // Where the table's rows wait, when they do: each batch's letters let half as many bytes
  // of them spill as they are.
  StagedSink* held_rows = nullptr;
  std::uint64_t u_letters = 0;
  bool skip_first_codon = false;  // the store keeps each sequence without its first codon
  bool keep_plot = false;         // gather `plot`
  PlotData plot;                  // what the HTML report shows of the input
};

// Appends an analysed batch's texts to the run's outputs and adds it to `totals`; false
// when an output has failed.
bool WriteBatch(SequenceBatch& batch, const ReportOutputs& run, InputTotals& totals);

}  // namespace trelba
