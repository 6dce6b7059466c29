#include "reports/coa_figures.hpp"

#include <algorithm>
#include <cmath>

#include "reports/colour_scale.hpp"
#include "reports/gene_scatter.hpp"
#include "reports/top_genes.hpp"

namespace trelba {
namespace {

std::string AxisLabel(int axis, double share) {
  return "coa" + std::to_string(axis) + " (axis " + std::to_string(axis) + ": " +
         Number(100 * share, 1) + "% of inertia)";
}

// The range of both axes over the genes' and the columns' coordinates: the two panels share
// their axes.
struct Ranges {
  double x_low = 0, x_high = 0, y_low = 0, y_high = 0;
  void Add(double x, double y) {
    if (std::isnan(x) || std::isnan(y)) return;
    x_low = std::min(x_low, x);
    x_high = std::max(x_high, x);
    y_low = std::min(y_low, y);
    y_high = std::max(y_high, y);
  }
};

Ranges RangesOf(const CoaPlot& coa, const PlotData* plot) {
  Ranges r;
  for (const CoaColumn& column : coa.columns) r.Add(column.x, column.y);
  if (plot != nullptr) {
    for (const PlotPoint& point : plot->points()) r.Add(point.coa1, point.coa2);
  }
  return r;
}

void SetAxes(Scatter& plot, const CoaPlot& coa, const Ranges& r) {
  const auto [x_low, x_high] = TickRange(r.x_low, r.x_high);
  const auto [y_low, y_high] = TickRange(r.y_low, r.y_high);
  plot.x = {AxisLabel(1, coa.inertia_share[0]), "coa1", x_low, x_high, 3};
  plot.y = {AxisLabel(2, coa.inertia_share[1]), "coa2", y_low, y_high, 3};
}

}  // namespace

void CoaGenesPlot(std::string& out, const FigureInput& input, SvgTarget target) {
  const CoaPlot& coa = *input.coa;
  Scatter plot;
  plot.kind = "scatter coa-genes-plot";
  SetAxes(plot, coa, RangesOf(coa, &input.plot));
  plot.zero = true;
  // Adaptation's colours reach their ends at the 98th percentile of its size.
  double limit = 0;
  if (input.reference) {
    std::vector<float> sizes;
    sizes.reserve(input.plot.points().size());
    for (const PlotPoint& point : input.plot.points()) {
      if (!std::isnan(point.adaptation)) sizes.push_back(std::fabs(point.adaptation));
    }
    if (!sizes.empty()) {
      const std::size_t at = sizes.size() * 98 / 100;
      std::nth_element(sizes.begin(), sizes.begin() + static_cast<std::ptrdiff_t>(at), sizes.end());
      limit = sizes[at];
    }
  }
  ScatterLayer& layer = plot.layers.emplace_back();
  layer.cls = limit > 0 ? "points coloured" : "points";
  for (const PlotPoint& point : input.plot.points()) {
    if (std::isnan(point.coa1) || std::isnan(point.coa2)) continue;
    ScatterDot dot{point.coa1, point.coa2, point.Id(), point.id_cut};
    if (limit > 0) dot.fill = DotFill(DivergingColour(point.adaptation / limit));
    layer.dots.push_back(dot);
    if (point.in_reference) plot.ringed.push_back(dot);
  }
  if (target == SvgTarget::kPage) {
    for (const PlotPoint* point : TopGenes(input)) {
      if (!std::isnan(point->coa1) && !std::isnan(point->coa2)) {
        plot.numbered.push_back({point->coa1, point->coa2, point->Id(), point->id_cut});
      }
    }
  }
  if (limit > 0) plot.colour_bar = ColourBar{"adaptation", -limit, limit, true};
  plot.note = "of " + std::string(coa.kind);
  if (!plot.ringed.empty()) {
    plot.legend = {"rings: the reference set's genes"};
    plot.legend_below = true;
  }
  DrawScatter(out, plot, target);
}

void CoaColumnsPlot(std::string& out, const CoaPlot& coa, SvgTarget target) {
  Scatter plot;
  plot.kind = "scatter coa-columns-plot";
  SetAxes(plot, coa, RangesOf(coa, nullptr));
  plot.zero = true;
  plot.note = "of " + std::string(coa.kind);
  const bool codons = !coa.columns.empty() && coa.columns.front().third >= 0;
  if (codons) {
    plot.legend = {"red: ending in G or C; blue: in A or T"};
    plot.legend_below = true;
  }
  // Each column's name at its place.
  const Scale x{plot.x.low, plot.x.high, kLeft, kLeft + kAreaWidth};
  const Scale y{plot.y.low, plot.y.high, kTop + kAreaHeight, kTop};
  std::string& labels = plot.markup;
  labels = "<g class=\"columns\">";
  for (const CoaColumn& column : coa.columns) {
    if (std::isnan(column.x) || std::isnan(column.y)) continue;
    labels += "<text class=\"code ";
    labels += column.third < 0 ? "acid" : column.third % 2 == 1 ? "codon-gc" : "codon-at";
    labels += "\" x=\"";
    AppendFixed(labels, x(column.x), 1);
    labels += "\" y=\"";
    AppendFixed(labels, y(column.y) + 3, 1);
    labels += "\" text-anchor=\"middle\">";
    AppendHtmlText(labels, column.label);
    labels += "<title>";
    AppendHtmlText(labels, column.label);
    labels += ": coa1 ";
    AppendFixed(labels, column.x, 3);
    labels += ", coa2 ";
    AppendFixed(labels, column.y, 3);
    labels += "</title></text>";
  }
  labels += "</g>";
  DrawScatter(out, plot, target);
}

}  // namespace trelba
