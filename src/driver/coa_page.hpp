// A correspondence analysis as the page and --figures draw it: the columns' principal
// coordinates on axes 1 and 2, each named (a codon, or an amino acid), and the two axes'
// shares of the inertia.
#pragma once

#include "analysis/correspondence_analysis.hpp"
#include "analysis/synonymous_codons.hpp"
#include "reports/input_figures.hpp"

namespace trelba {

// What `result` (made) shows of `columns`; an axis past the analysis's has NaN coordinates.
CoaPlot CoaPlotOf(const CoaColumns& columns, const CoaResult& result,
                  const SynonymousCodons& synonymous);

}  // namespace trelba
