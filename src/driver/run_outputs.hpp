// The outputs that gather every input of a run: the table, the summary, the HTML report
// and the codon usage, each opened once and committed together at the end
// (reports/report_set.hpp). A named output that is a stream is written straight through;
// one whose name asks for compression is compressed (reports/output_compression.hpp), its
// members made by the pipeline's threads too (side_work()).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/synonymous_codons.hpp"
#include "driver/options.hpp"
#include "reports/html_report.hpp"
#include "reports/report_set.hpp"
#include "reports/run_plot_data.hpp"
#include "reports/staged_sink.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

class RunOutputs {
 public:
  RunOutputs(const Options& options, const TableLayout& layout)
      : options_(options), layout_(layout) {}

  // Each opens its output when the run has it (the table once, when the first input is
  // ready, so that a single input's own errors come first) and writes its header; the
  // error line when it cannot be opened. `inputs` holds the inputs' identities.
  std::optional<std::string> OpenTable(const std::vector<FileIdentity>& inputs);
  std::optional<std::string> OpenSummary(const std::vector<FileIdentity>& inputs);
  std::optional<std::string> OpenPage(const std::vector<FileIdentity>& inputs);
  std::optional<std::string> OpenCodonUsage(const std::vector<FileIdentity>& inputs);

  OutputBuffer* table() { return table_; }
  // Where the summary's rows go: to it, or, when it has columns that need every input, held
  // until ReleaseSummary.
  OutputBuffer* summary() { return held_summary_ ? &*held_summary_ : summary_; }
  OutputBuffer* codon_usage() { return codon_usage_; }
  // A codon usage in EMBOSS's format (a name ending in .cut or .cut.gz): the inputs' counts
  // are added up and written at the run's end (FinishCodonUsage) instead of as rows.
  bool codon_usage_in_cusp_format() const { return cusp_format_; }
  void AddToCodonUsage(const CodonCounts& pooled);
  void FinishCodonUsage();
  ReportSet& set() { return set_; }
  // The queue through which the pipeline's threads compress the outputs' members.
  SideWork& side_work() { return side_work_; }
  bool table_failed = false;  // could not be opened or written, and said so
  // An output or the temporary folder failed (said): no later input can be added, and none
  // of the outputs is put in place.
  bool stopped = false;
  bool page_failed = false;  // memory ran out while it was drawn, and said so

  // Whether the run draws figures: the HTML report, or the figure files (--figures).
  bool draws() const { return plots_.has_value(); }
  // Adds an input's section to the HTML report and its numbers to the figures of the inputs
  // together (`together`, when it read whole). Memory that runs out while it is drawn fails
  // the page (said once), not the input, whose reports may be in place.
  void AddToPage(const PageInput& input, const RunPlotData::Input* together);
  // The inputs' coordinates in the analysis of the inputs, by their order (when it draws).
  void SetInputsCoa(const std::vector<std::array<double, 2>>& coordinates,
                    const std::array<double, 2>& inertia_share) {
    if (plots_) plots_->SetInputsCoa(coordinates, inertia_share);
  }
  // Ends the page, and opens and writes the figure files of the inputs together; false
  // after an error, which has been printed.
  bool FinishPage();

  // Hands the held summary rows on, each given `end_row`'s cells where its line ends; false
  // after an error (the rows could not be read back), which has been printed.
  bool ReleaseSummary(const std::function<void(OutputBuffer&)>& end_row);

  // Commits every output; false after an error, which has been printed (once).
  bool Commit();
  // For a run that read no input whole: puts none of the outputs in place, and says so in
  // one line naming the files among them.
  void KeepEarlierFiles();

 private:
  OutputBuffer* Open(const std::string& name, const std::vector<FileIdentity>& inputs);
  template <class Draw>
  void OnPage(Draw&& draw);

  const Options& options_;
  const TableLayout& layout_;
  SideWork side_work_;  // outlives the outputs, which withdraw from it
  ReportSet set_;
  OutputBuffer* table_ = nullptr;
  OutputBuffer* summary_ = nullptr;
  StagedSink held_rows_;
  std::optional<OutputBuffer> held_summary_;
  OutputBuffer* codon_usage_ = nullptr;
  bool cusp_format_ = false;
  CodonCounts cusp_counts_{};
  std::optional<SynonymousCodons> synonymous_;  // of the figures
  std::optional<RunPlotData> plots_;
  std::optional<HtmlReport> page_;
  OutputBuffer* page_buffer_ = nullptr;
};

}  // namespace trelba
