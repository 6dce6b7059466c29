// The genes of the top-genes tables beside the page's scatter plots: those of most
// adaptation with a reference (the column README says to rank by; among the kept genes,
// so among every s-th one of an input thinned for the page), else those of most excess
// (among every gene).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reports/input_figures.hpp"
#include "reports/plot_data.hpp"

namespace trelba {

// The genes, most first (the first in input order of equals), up to kTopGenes.
std::vector<const PlotPoint*> TopGenes(const FigureInput& input);

struct TopColumn {
  float PlotPoint::*value;
  std::string_view name;
  int decimals;
};

// The table of the genes with their values of the plot beside it (x, y) and of the ranking.
void AppendTopGenesTable(std::string& out, const FigureInput& input, const TopColumn& x,
                         const TopColumn& y);

}  // namespace trelba
