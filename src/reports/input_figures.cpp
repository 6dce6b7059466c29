#include "reports/input_figures.hpp"

#include <algorithm>
#include <cmath>

#include "reports/coa_figures.hpp"
#include "reports/figure_histograms.hpp"
#include "reports/gene_scatter.hpp"
#include "reports/top_genes.hpp"

namespace trelba {

const std::array<InputFigureEntry, 9> kInputFigures = {{
    {InputFigure::kEnc, "enc", "ENC against GC3s"},
    {InputFigure::kEncRatio, "enc-ratio", "The ENC ratio", false, false, false},
    {InputFigure::kNeutrality, "neutrality", "Neutrality plot"},
    {InputFigure::kParity, "pr2", "PR2 plot"},
    {InputFigure::kCoaGenes, "coa-genes", "Correspondence analysis: the genes", false, true},
    {InputFigure::kCoaCodons, "coa-codons", "Correspondence analysis: the columns", false, true,
     false},
    {InputFigure::kExcess, "excess", "Excess against codons"},
    {InputFigure::kAdaptation, "adaptation", "Adaptation against excess", true},
    {InputFigure::kFamilies, "families", "Each family's order values", false, false, false},
}};

bool Drawn(const InputFigureEntry& entry, bool reference, bool coa) {
  return (!entry.reference || reference) && (!entry.coa || coa);
}

namespace {

using Value = float PlotPoint::*;

// A gene's dot, or nothing when it lacks either value.
bool DotOf(const PlotPoint& point, Value x, Value y, ScatterDot& dot) {
  if (std::isnan(point.*x) || std::isnan(point.*y)) return false;
  dot.x = point.*x;
  dot.y = point.*y;
  dot.id = point.Id();
  dot.id_cut = point.id_cut;
  return true;
}

// Every kept gene's dot in one layer, the reference's genes ringed, and on the page the top
// genes numbered.
void AddGenes(Scatter& plot, const FigureInput& input, Value x, Value y, SvgTarget target) {
  ScatterLayer& layer = plot.layers.emplace_back();
  layer.cls = "points";
  const std::vector<PlotPoint>& points = input.plot.points();
  layer.dots.reserve(points.size());
  for (const PlotPoint& point : points) {
    ScatterDot dot;
    if (!DotOf(point, x, y, dot)) continue;
    layer.dots.push_back(dot);
    if (point.in_reference) plot.ringed.push_back(dot);
  }
  if (target != SvgTarget::kPage) return;
  for (const PlotPoint* point : TopGenes(input)) {
    ScatterDot dot;
    if (DotOf(*point, x, y, dot)) plot.numbered.push_back(dot);
  }
}

// The range of a value over the kept genes, with `low` and `high`, widened to whole ticks.
std::pair<double, double> RangeOf(const PlotData& plot, Value value, double low, double high) {
  for (const PlotPoint& point : plot.points()) {
    const double v = point.*value;
    if (std::isnan(v)) continue;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  if (low > high) return {0.0, 1.0};  // no gene has the value
  return TickRange(low, high);
}

constexpr std::string_view kRings = "rings: the reference set's genes";

void EncPlot(std::string& out, const FigureInput& input, SvgTarget target) {
  Scatter plot;
  plot.kind = "scatter enc-plot";
  plot.x = {"gc3s (G+C at synonymous third positions)", "gc3s", 0, 1, 3};
  const auto [low, high] = RangeOf(input.plot, &PlotPoint::enc, 20, 62);
  plot.y = {"enc (effective number of codons)", "enc", std::max(low, 20.0), std::min(high, 62.0),
            1};
  plot.curve = [](double s) { return 2 + s + 29 / (s * s + (1 - s) * (1 - s)); };
  AddGenes(plot, input, &PlotPoint::gc3s, &PlotPoint::enc, target);
  plot.legend = {"line: Wright's enc from gc3s alone"};
  if (!plot.ringed.empty()) plot.legend.emplace_back(kRings);
  plot.legend_below = true;
  DrawScatter(out, plot, target);
}

void NeutralityPlot(std::string& out, const FigureInput& input, SvgTarget target) {
  Scatter plot;
  plot.kind = "scatter neutrality-plot";
  const auto [x_low, x_high] = RangeOf(input.plot, &PlotPoint::gc3s, 1, 0);
  const auto [y_low, y_high] = RangeOf(input.plot, &PlotPoint::gc12, 1, 0);
  plot.x = {"gc3s (G+C at synonymous third positions)", "gc3s", x_low, x_high, 3};
  plot.y = {"gc12 (G+C at first and second positions)", "gc12", y_low, y_high, 3};
  AddGenes(plot, input, &PlotPoint::gc3s, &PlotPoint::gc12, target);
  const LineFit& fit = input.plot.neutrality();
  plot.slope = fit.slope();
  plot.intercept = fit.intercept();
  plot.note = "slope " + Number(fit.slope(), 3) + ", r " + Number(fit.correlation(), 3) + " (" +
              Count(fit.count()) + (fit.count() == 1 ? " gene)" : " genes)");
  plot.legend = {"line: gc12 on gc3s, least squares"};
  plot.legend_below = true;
  DrawScatter(out, plot, target);
}

void ParityPlot(std::string& out, const FigureInput& input, SvgTarget target) {
  Scatter plot;
  plot.kind = "scatter pr2-plot";
  plot.x = {"G3/(G3+C3) at four-fold sites", "G3/(G3+C3)", 0, 1, 3};
  plot.y = {"A3/(A3+T3) at four-fold sites", "A3/(A3+T3)", 0, 1, 3};
  plot.halves = true;
  AddGenes(plot, input, &PlotPoint::g3_share, &PlotPoint::a3_share, target);
  plot.note = "mean " + Number(input.plot.mean_g3_share(), 3) + ", " +
              Number(input.plot.mean_a3_share(), 3);
  plot.legend = {"dashed: no strand bias (0.5)"};
  plot.legend_below = true;
  DrawScatter(out, plot, target);
}

void ExcessPlot(std::string& out, const FigureInput& input, SvgTarget target) {
  Scatter plot;
  plot.kind = "scatter excess-plot";
  double fewest = 1e300, most = 1;
  for (const PlotPoint& p : input.plot.points()) {
    fewest = std::min(fewest, std::max<double>(p.codons, 1));
    most = std::max<double>(most, p.codons);
  }
  if (input.plot.points().empty()) fewest = 1;
  int low = 0, high = 0;  // decades
  for (double power = 10; power <= fewest; power *= 10) ++low;
  for (double power = 1; power < most; power *= 10) ++high;
  if (high <= low) high = low + 1;
  plot.x = {"codons (log scale)",      "codons", static_cast<double>(low),
            static_cast<double>(high), 0,        true};
  const auto [y_low, y_high] = RangeOf(input.plot, &PlotPoint::excess, 0, 0);
  plot.y = {"excess (score - expected)", "excess", y_low, y_high, 3};
  plot.zero = true;
  AddGenes(plot, input, &PlotPoint::codons, &PlotPoint::excess, target);
  plot.ringed.clear();
  plot.legend = {"dashed: what chance gives"};
  DrawScatter(out, plot, target);
}

void AdaptationPlot(std::string& out, const FigureInput& input, SvgTarget target) {
  Scatter plot;
  plot.kind = "scatter adaptation-plot";
  const auto [x_low, x_high] = RangeOf(input.plot, &PlotPoint::excess, 0, 0);
  const auto [y_low, y_high] = RangeOf(input.plot, &PlotPoint::adaptation, 0, 0);
  plot.x = {"excess (score - expected)", "excess", x_low, x_high, 3};
  plot.y = {"adaptation (log-odds per codon)", "adaptation", y_low, y_high, 3};
  plot.zero = true;
  AddGenes(plot, input, &PlotPoint::excess, &PlotPoint::adaptation, target);
  if (!plot.ringed.empty()) plot.legend = {std::string(kRings)};
  plot.legend_below = true;
  DrawScatter(out, plot, target);
}

}  // namespace

void DrawInputFigure(std::string& out, InputFigure figure, const FigureInput& input,
                     SvgTarget target) {
  switch (figure) {
    case InputFigure::kEnc:
      return EncPlot(out, input, target);
    case InputFigure::kEncRatio:
      return EncRatioHistogram(out, input.plot, target);
    case InputFigure::kNeutrality:
      return NeutralityPlot(out, input, target);
    case InputFigure::kParity:
      return ParityPlot(out, input, target);
    case InputFigure::kCoaGenes:
      return CoaGenesPlot(out, input, target);
    case InputFigure::kCoaCodons:
      return CoaColumnsPlot(out, *input.coa, target);
    case InputFigure::kExcess:
      return ExcessPlot(out, input, target);
    case InputFigure::kAdaptation:
      return AdaptationPlot(out, input, target);
    case InputFigure::kFamilies:
      return FamilyStrips(out, input.plot, target);
  }
}

void AppendTopGenes(std::string& out, InputFigure figure, const FigureInput& input) {
  struct Columns {
    InputFigure figure;
    Value x, y;
    std::string_view x_name, y_name;
  };
  static constexpr Columns kColumns[] = {
      {InputFigure::kEnc, &PlotPoint::gc3s, &PlotPoint::enc, "gc3s", "enc"},
      {InputFigure::kNeutrality, &PlotPoint::gc3s, &PlotPoint::gc12, "gc3s", "gc12"},
      {InputFigure::kParity, &PlotPoint::g3_share, &PlotPoint::a3_share, "G3/(G3+C3)",
       "A3/(A3+T3)"},
      {InputFigure::kCoaGenes, &PlotPoint::coa1, &PlotPoint::coa2, "coa1", "coa2"},
      {InputFigure::kExcess, &PlotPoint::codons, &PlotPoint::excess, "codons", "excess"},
      {InputFigure::kAdaptation, &PlotPoint::excess, &PlotPoint::adaptation, "excess",
       "adaptation"},
  };
  for (const Columns& c : kColumns) {
    if (c.figure == figure) {
      AppendTopGenesTable(out, input, {c.x, c.x_name, c.figure == InputFigure::kExcess ? 0 : 3},
                          {c.y, c.y_name, 3});
    }
  }
}

}  // namespace trelba
