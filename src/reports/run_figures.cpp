#include "reports/run_figures.hpp"

#include <algorithm>
#include <cmath>

#include "reports/gene_scatter.hpp"
#include "reports/rscu_heat_map.hpp"

namespace trelba {

const std::array<RunFigureEntry, 6> kRunFigures = {{
    {RunFigure::kOverlayEnc, "overlay-enc", "ENC against GC3s, the inputs overlaid", 2, true},
    {RunFigure::kOverlayNeutrality, "overlay-neutrality", "Neutrality plot, the inputs overlaid", 2,
     true},
    {RunFigure::kOverlayParity, "overlay-pr2", "PR2 plot, the inputs overlaid", 2, true},
    {RunFigure::kInputsEnc, "enc", "Median ENC against GC3s, a point per input", 3},
    {RunFigure::kInputsCoa, "coa", "Correspondence analysis of the inputs", 3, false, true},
    {RunFigure::kRscu, "rscu", "RSCU of each codon", 1},
}};

bool Drawn(const RunFigureEntry& entry, std::size_t inputs, bool coa) {
  return inputs >= entry.fewest_inputs && (!entry.overlay || inputs <= kMostSections) &&
         (!entry.coa || coa);
}

namespace {

using Value = float OverlayPoint::*;

double WrightEnc(double s) {
  return 2 + s + 29 / (s * s + (1 - s) * (1 - s));
}

// The range of both values over the overlaid genes, widened to whole ticks.
std::pair<double, double> RangeOf(const RunPlotData& run, Value value) {
  double low = 1e300, high = -1e300;
  for (const OverlayInput& input : run.overlay()) {
    for (const OverlayPoint& p : input.points) {
      if (std::isnan(p.*value)) continue;
      low = std::min<double>(low, p.*value);
      high = std::max<double>(high, p.*value);
    }
  }
  return low > high ? std::pair(0.0, 1.0) : TickRange(low, high);
}

void Overlay(std::string& out, const RunPlotData& run, Scatter& plot, Value x, Value y,
             SvgTarget target) {
  for (const OverlayInput& input : run.overlay()) {
    ScatterLayer& layer = plot.layers.emplace_back();
    layer.cls = "overlay input-" + std::to_string(input.colour % kMostSections);
    layer.name = NameEnd(input.name, 44);
    if (input.stride > 1) layer.name += " (every " + Ordinal(input.stride) + " gene)";
    for (const OverlayPoint& p : input.points) {
      if (std::isnan(p.*x) || std::isnan(p.*y)) continue;
      layer.dots.push_back({p.*x, p.*y, p.Id(), p.id_cut});
    }
  }
  DrawScatter(out, plot, target);
}

void InputsPlot(std::string& out, const RunPlotData& run, bool coa, SvgTarget target) {
  Scatter plot;
  ScatterLayer& layer = plot.layers.emplace_back();
  layer.cls = "points inputs";
  for (const InputPoint& p : run.points()) {
    const double x = coa ? p.coa1 : p.gc3s, y = coa ? p.coa2 : p.median_enc;
    if (!std::isnan(x) && !std::isnan(y)) layer.dots.push_back({x, y, p.name});
  }
  if (coa) {
    plot.kind = "scatter inputs-coa-plot";
    double x_low = 0, x_high = 0, y_low = 0, y_high = 0;
    for (const ScatterDot& dot : layer.dots) {
      x_low = std::min(x_low, dot.x);
      x_high = std::max(x_high, dot.x);
      y_low = std::min(y_low, dot.y);
      y_high = std::max(y_high, dot.y);
    }
    const auto [xl, xh] = TickRange(x_low, x_high);
    const auto [yl, yh] = TickRange(y_low, y_high);
    const auto label = [&](int axis) {
      return "inputs_coa" + std::to_string(axis) + " (axis " + std::to_string(axis) + ": " +
             Number(100 * run.inputs_inertia()[static_cast<std::size_t>(axis - 1)], 1) +
             "% of inertia)";
    };
    plot.x = {label(1), "inputs_coa1", xl, xh, 3};
    plot.y = {label(2), "inputs_coa2", yl, yh, 3};
    plot.zero = true;
    plot.note = Count(layer.dots.size()) + " inputs";
  } else {
    plot.kind = "scatter inputs-enc-plot";
    plot.x = {"gc3s (of all the input's codons)", "gc3s", 0, 1, 3};
    plot.y = {"median_enc (of the input's genes)", "median_enc", 20, 62, 1};
    plot.curve = WrightEnc;
    plot.note = Count(layer.dots.size()) + " inputs";
    plot.legend = {"line: Wright's enc from gc3s alone"};
    plot.legend_below = true;
  }
  DrawScatter(out, plot, target);
}

}  // namespace

void DrawRunFigure(std::string& out, RunFigure figure, const RunPlotData& run, SvgTarget target) {
  Scatter plot;
  switch (figure) {
    case RunFigure::kOverlayEnc:
      plot.kind = "scatter overlay-enc-plot";
      plot.x = {"gc3s (G+C at synonymous third positions)", "gc3s", 0, 1, 3};
      plot.y = {"enc (effective number of codons)", "enc", 20, 62, 1};
      plot.curve = WrightEnc;
      plot.legend = {"line: Wright's enc from gc3s alone"};
      plot.legend_below = true;
      return Overlay(out, run, plot, &OverlayPoint::gc3s, &OverlayPoint::enc, target);
    case RunFigure::kOverlayNeutrality: {
      plot.kind = "scatter overlay-neutrality-plot";
      const auto [x_low, x_high] = RangeOf(run, &OverlayPoint::gc3s);
      const auto [y_low, y_high] = RangeOf(run, &OverlayPoint::gc12);
      plot.x = {"gc3s (G+C at synonymous third positions)", "gc3s", x_low, x_high, 3};
      plot.y = {"gc12 (G+C at first and second positions)", "gc12", y_low, y_high, 3};
      return Overlay(out, run, plot, &OverlayPoint::gc3s, &OverlayPoint::gc12, target);
    }
    case RunFigure::kOverlayParity:
      plot.kind = "scatter overlay-pr2-plot";
      plot.x = {"G3/(G3+C3) at four-fold sites", "G3/(G3+C3)", 0, 1, 3};
      plot.y = {"A3/(A3+T3) at four-fold sites", "A3/(A3+T3)", 0, 1, 3};
      plot.halves = true;
      return Overlay(out, run, plot, &OverlayPoint::g3_share, &OverlayPoint::a3_share, target);
    case RunFigure::kInputsEnc:
      return InputsPlot(out, run, false, target);
    case RunFigure::kInputsCoa:
      return InputsPlot(out, run, true, target);
    case RunFigure::kRscu:
      return DrawRscuHeatMap(out, run, target);
  }
}

}  // namespace trelba
