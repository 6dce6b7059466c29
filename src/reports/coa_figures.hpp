// The correspondence analysis of an input on its first two axes, each axis labelled with
// its share of the inertia: the genes (coloured by adaptation when there is a reference,
// its genes ringed), and the columns analysed (codons, coloured by their third base, or
// amino acids) as a second panel on the same axes.
#pragma once

#include <string>

#include "reports/input_figures.hpp"
#include "reports/svg_canvas.hpp"

namespace trelba {

void CoaGenesPlot(std::string& out, const FigureInput& input, SvgTarget target);
void CoaColumnsPlot(std::string& out, const CoaPlot& coa, SvgTarget target);

}  // namespace trelba
