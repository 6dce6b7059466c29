// The figures of an input made of bins that count every sequence: the ENC ratio's
// histogram, and each family's order values as a heat strip with its median.
#pragma once

#include <string>

#include "reports/plot_data.hpp"
#include "reports/svg_canvas.hpp"

namespace trelba {

void EncRatioHistogram(std::string& out, const PlotData& plot, SvgTarget target);
void FamilyStrips(std::string& out, const PlotData& plot, SvgTarget target);

}  // namespace trelba
