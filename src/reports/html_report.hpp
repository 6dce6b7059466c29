// The HTML report (--report FILE): one self-contained page, inline SVG and CSS, no script,
// no network, the same bytes for the same run. It opens with a table of every input and
// the figures of the inputs together (reports/run_figures.hpp); then, for up to
// kMostSections inputs, a section per input: its summary and its figures
// (reports/input_figures.hpp), a table of its top genes beside each scatter plot. A run of
// more inputs is shown as a collection, its inputs together, without a section each.
#pragma once

#include <string>
#include <string_view>

#include "codes/genetic_code.hpp"
#include "reports/input_figures.hpp"
#include "reports/output_buffer.hpp"
#include "reports/plot_data.hpp"
#include "reports/row_cells.hpp"
#include "reports/run_plot_data.hpp"

namespace trelba {

// One input's section: its numbers as its summary row gives them, and its points.
struct PageInput {
  const SummaryCells& row;
  const PlotData* plot = nullptr;  // null for an input that failed
  const CoaPlot* coa = nullptr;    // its correspondence analysis, when the run makes one
};

class HtmlReport {
 public:
  // Writes the page's head, naming the run's code and background; `run` gathers what the
  // inputs together show.
  HtmlReport(OutputBuffer& out, const GeneticCode& code, std::string_view background,
             const RunPlotData& run);
  void AddInput(const PageInput& input);
  // The overview of every input and the figures of the inputs together (shown first), and
  // the page's end.
  void Finish(bool coa);

 private:
  OutputBuffer& out_;
  const RunPlotData& run_;
  std::string overview_;  // its rows
  std::size_t inputs_ = 0;
  bool reference_ = false;  // an input had a reference
};

}  // namespace trelba
