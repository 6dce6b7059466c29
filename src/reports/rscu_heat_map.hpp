// The RSCU heat map: a row per codon of the amino acids of two or more codons (grouped by
// amino acid), a column per input and per reference set beside its genome, each cell
// coloured by log2 RSCU (blue: avoided, white: even use, red: preferred) and named on hover.
// Past kNamedColumns columns the names under the columns go, and past kTitledColumns the
// cells of one colour are drawn as one path, without names: a collection of thousands of
// genomes stays one readable page.
#pragma once

#include <string>

#include "reports/run_plot_data.hpp"
#include "reports/svg_canvas.hpp"

namespace trelba {

inline constexpr std::size_t kNamedColumns = 60;
inline constexpr std::size_t kTitledColumns = 250;

void DrawRscuHeatMap(std::string& out, const RunPlotData& run, SvgTarget target);

}  // namespace trelba
