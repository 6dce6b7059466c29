// One input of a run, from opening it to its summary row: what every input shares, and
// the steps of one.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "analysis/background.hpp"
#include "analysis/correspondence_analysis.hpp"
#include "analysis/synonymous_codons.hpp"
#include "driver/input_reader.hpp"
#include "driver/options.hpp"
#include "driver/progress.hpp"
#include "driver/reference_columns.hpp"
#include "driver/run_outputs.hpp"
#include "reports/gene_count_store.hpp"
#include "reports/staged_sink.hpp"
#include "reports/temporary_files.hpp"

namespace trelba {

// What every input of a run shares.
struct InputRun {
  InputRun(const Options& options_, const Background* shared_background_,
           const TableLayout& layout_, RunOutputs& run_,
           const std::vector<FileIdentity>& identities_, const SynonymousCodons& synonymous_,
           ReferenceFile* reference_, GeneCountStore& genes_)
      : options(options_),
        shared_background(shared_background_),
        layout(layout_),
        run(run_),
        identities(identities_),
        synonymous(synonymous_),
        reference(reference_),
        genes(genes_) {}

  const Options& options;
  const Background* shared_background;  // null when each input is its own
  const TableLayout& layout;
  RunOutputs& run;
  const std::vector<FileIdentity>& identities;
  const SynonymousCodons& synonymous;
  ReferenceFile* reference;                                   // null without --reference FILE
  bool reference_found = false;                               // --reference auto
  const std::optional<OptimalCodonsText>* optimal = nullptr;  // --optimal-codons
  const TrnaWeights* trna = nullptr;                          // --trna
  bool reference_rows = false;  // the reference file's codon usage rows are written
  GeneCountStore& genes;  // each sequence's counts, for the table's columns of the whole input
  Progress* progress = nullptr;  // told of every block read, when shown
  // --coa: the columns of its analyses and the sums of an input's genes.
  std::optional<CoaColumns> coa_columns;
  std::optional<CoaSums> coa_sums;
  // With three or more inputs: each input's pooled counts, one for each summary row (zero
  // for an input that failed), for the analysis of the inputs.
  GeneCountStore* inputs_pooled = nullptr;
  // An input's table rows, held until it is read whole; or, where the table is a file that
  // can drop what was written to it and no column waits for the whole input, written to it
  // at once from `rows_start` on, and dropped again should the input fail (DropInputRows).
  StagedSink staged;
  OutputBuffer staged_table{staged};
  bool rows_direct = false;
  std::uint64_t rows_start = 0;
  // The input's error has been said: memory running out after it is not said again.
  bool failure_said = false;
  // One for every input, made once the first input's outputs have their buffers, so that
  // the threads take what memory is left.
  std::unique_ptr<InputReader> reader;
  // Interruptions wait from the last input's reports to the table's and summary's commit,
  // so that a run of one input replaces its reports and table together or not at all.
  std::optional<DeferInterrupts> hold;
};

// Reads input `index` and writes its reports and table rows; adds its summary row and its
// section of the HTML report. False after an error, which has been printed.
bool ReportOneInput(InputRun& r, std::size_t index);

// Drops the table rows of an input that failed, held or written (a table that cannot drop
// them fails).
void DropInputRows(InputRun& r);

// Writes the reference file's own codon usage rows, once, when the run has a codon usage:
// its table's when made, else its w with the optimal column NA.
void WriteReferenceRows(InputRun& r);

}  // namespace trelba
