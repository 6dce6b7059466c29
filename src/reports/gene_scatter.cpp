#include "reports/gene_scatter.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "numeric/natural_log.hpp"
#include "reports/colour_scale.hpp"

namespace trelba {
namespace {

constexpr int kGridColumns = 75, kGridRows = 62;  // of the drawn density
constexpr double kLegendRow = 14;                 // a line of a legend below the plot

// "id: gc3s 0.512, gc12 0.498".
std::string DotTitle(const ScatterDot& dot, const ScatterAxis& x, const ScatterAxis& y) {
  std::string title(dot.id);
  if (dot.id_cut) title += "\u2026";
  const auto value = [&](const ScatterAxis& axis, double v) {
    title += axis.column;
    title += ' ';
    AppendFixed(title, v, axis.decimals);
  };
  title += ": ";
  value(x, dot.x);
  title += ", ";
  value(y, dot.y);
  return title;
}

std::string_view FillOf(const ScatterDot& dot) {
  return dot.fill[0] == 0 ? std::string_view() : std::string_view(dot.fill.data(), 7);
}

// Where a value lies on its axis: its log10 on a log axis (1 at least).
struct Place {
  const ScatterAxis& axis;
  Scale scale;
  double operator()(double value) const {
    return scale(axis.log10 ? Log10(std::max(value, 1.0)) : value);
  }
};

void DrawDensity(Svg& svg, const std::vector<ScatterDot>& dots, const Place& x, const Place& y) {
  std::vector<std::uint64_t> grid(kGridColumns * kGridRows, 0);
  const auto cell = [](double at, double from, double size, int cells) {
    const double i = (at - from) / size * cells;
    return i < 0 ? 0 : i >= cells ? cells - 1 : static_cast<int>(i);
  };
  for (const ScatterDot& dot : dots) {
    const int c = cell(x(dot.x), kLeft, kAreaWidth, kGridColumns);
    const int r = cell(y(dot.y), kTop, kAreaHeight, kGridRows);
    ++grid[static_cast<std::size_t>(r * kGridColumns + c)];
  }
  const double most = static_cast<double>(*std::max_element(grid.begin(), grid.end()));
  const double w = kAreaWidth / kGridColumns, h = kAreaHeight / kGridRows;
  svg.Group("density");
  for (int r = 0; r < kGridRows; ++r) {
    for (int c = 0; c < kGridColumns; ++c) {
      const std::uint64_t n = grid[static_cast<std::size_t>(r * kGridColumns + c)];
      if (n == 0) continue;
      const double shade =
          0.15 + 0.85 * NaturalLog(1.0 + static_cast<double>(n)) / NaturalLog(1.0 + most);
      svg.Rect(kLeft + c * w, kTop + r * h, w, h, "bin", n, shade, {},
               Count(n) + (n == 1 ? " gene" : " genes"));
    }
  }
  svg.Close();
}

void DrawAxis(Svg& svg, const ScatterAxis& axis, const Scale& scale, bool horizontal) {
  const double along = horizontal ? kTop + kAreaHeight : kLeft;
  if (!axis.log10) {
    ValueAxisTicks(svg, scale, TickStep(axis.high - axis.low), horizontal, along);
  } else {
    constexpr std::string_view kNames[] = {"1", "10", "100", "1,000", "10k", "100k", "1M", "10M"};
    for (int k = static_cast<int>(axis.low); k <= static_cast<int>(axis.high); ++k) {
      const std::string label =
          k < 8 ? std::string(kNames[static_cast<std::size_t>(k)]) : "1e" + std::to_string(k);
      svg.Line(scale(k), along, scale(k), along + 4, "tick");
      svg.Text(scale(k), along + 16, label, "tick-label");
    }
  }
}

void DrawColourBar(Svg& svg, const ColourBar& bar) {
  constexpr int kSteps = 9;
  constexpr double kStep = 10, kX = kLeft + kAreaWidth - kSteps * kStep - 6, kY = kTop + 6;
  svg.Group("colour-bar");
  for (int i = 0; i < kSteps; ++i) {
    const double t = static_cast<double>(i) / (kSteps - 1);
    svg.out() +=
        "<g fill=\"" + (bar.diverging ? DivergingColour(2 * t - 1) : SequentialColour(t)) + "\">";
    svg.Box(kX + i * kStep, kY, kStep, 7, "swatch");
    svg.Close();
  }
  svg.Text(kX - 3, kY + 7, Fixed(bar.low, 2), "legend", "end");
  svg.Text(kX + kSteps * kStep + 3, kY + 7, Fixed(bar.high, 2), "legend", "start");
  svg.Text(kX + kSteps * kStep / 2, kY + 18, bar.label, "legend");
  svg.Close();
}

}  // namespace

std::array<char, 8> DotFill(std::string_view colour) {
  std::array<char, 8> fill{};
  colour.substr(0, 7).copy(fill.data(), 7);
  return fill;
}

void ValueAxisTicks(Svg& svg, const Scale& scale, double step, bool horizontal, double along) {
  const int decimals = step >= 1 ? 0 : step >= 0.1 ? 1 : step >= 0.01 ? 2 : 3;
  const int first = static_cast<int>(std::ceil(scale.low / step - 1e-9));
  const int last = static_cast<int>(std::floor(scale.high / step + 1e-9));
  for (int i = first; i <= last; ++i) {
    const double value = i * step;
    const double at = scale(value);
    if (horizontal) {
      svg.Line(at, along, at, along + 4, "tick");
      svg.Text(at, along + 16, Fixed(value, decimals), "tick-label");
    } else {
      svg.Line(along - 4, at, along, at, "tick");
      svg.Text(along - 6, at + 4, Fixed(value, decimals), "tick-label", "end");
    }
  }
}

double TickStep(double span) {
  double step = 1e-3;
  while (span / step > 8) {
    for (const double factor : {2.0, 2.5, 2.0}) {
      step *= factor;
      if (span / step <= 8) break;
    }
  }
  return step;
}

std::pair<double, double> TickRange(double low, double high) {
  const double step = TickStep(high - low > 0 ? high - low : 1.0);
  return {std::floor(low / step) * step, std::max(std::ceil(high / step) * step, low + step)};
}

void DrawScatter(std::string& out, const Scatter& plot, SvgTarget target) {
  const bool below = plot.layers.size() > 1;  // a legend of the layers under the plot
  const double height =
      kPlotHeight + (below ? kLegendRow * static_cast<double>(plot.layers.size()) : 0.0);
  const Place x{plot.x, {plot.x.low, plot.x.high, kLeft, kLeft + kAreaWidth}};
  const Place y{plot.y, {plot.y.low, plot.y.high, kTop + kAreaHeight, kTop}};
  Svg svg(out, plot.kind, kPlotWidth, height, target);
  svg.Box(kLeft, kTop, kAreaWidth, kAreaHeight, "frame");
  DrawAxis(svg, plot.x, x.scale, true);
  DrawAxis(svg, plot.y, y.scale, false);
  svg.Text(kLeft + kAreaWidth / 2, kTop + kAreaHeight + 34, plot.x.label, "axis-label");
  svg.Text(14, kTop + kAreaHeight / 2, plot.y.label, "axis-label", "middle", true);
  const auto within = [](const ScatterAxis& axis, double v) {
    const double at = axis.log10 ? Log10(std::max(v, 1.0)) : v;
    return at >= axis.low && at <= axis.high;
  };
  const auto inside = [&](const ScatterDot& dot) {
    return within(plot.x, dot.x) && within(plot.y, dot.y);
  };
  if (plot.halves) {
    svg.Line(x.scale(0.5), kTop, x.scale(0.5), kTop + kAreaHeight, "half");
    svg.Line(kLeft, y.scale(0.5), kLeft + kAreaWidth, y.scale(0.5), "half");
  }
  if (plot.zero && plot.y.low < 0 && plot.y.high > 0) {
    svg.Line(kLeft, y.scale(0), kLeft + kAreaWidth, y.scale(0), "zero");
  }
  // The layers of most dots first, so that none hides a smaller one.
  std::vector<std::size_t> order(plot.layers.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const std::size_t na = plot.layers[a].dots.size();
    const std::size_t nb = plot.layers[b].dots.size();
    return na != nb ? na > nb : a < b;
  });
  for (const std::size_t i : order) {
    const ScatterLayer& layer = plot.layers[i];
    if (layer.dots.size() > kMaxDrawnPoints) {
      DrawDensity(svg, layer.dots, x, y);
      continue;
    }
    svg.Group(layer.cls);
    for (const ScatterDot& dot : layer.dots) {
      if (!inside(dot)) continue;
      svg.Circle(x(dot.x), y(dot.y), "1.8", DotTitle(dot, plot.x, plot.y), FillOf(dot));
    }
    svg.Close();
  }
  if (plot.curve != nullptr) {
    svg.out() += "<g class=\"wright\"><polyline points=\"";
    for (int i = 0; i <= 50; ++i) {
      const double at = plot.x.low + (plot.x.high - plot.x.low) * i / 50;
      if (i != 0) svg.out() += ' ';
      AppendFixed(svg.out(), x.scale(at), 1);
      svg.out() += ',';
      AppendFixed(svg.out(), std::clamp(y.scale(plot.curve(at)), kTop, kTop + kAreaHeight), 1);
    }
    svg.out() += "\"/></g>";
  }
  if (!std::isnan(plot.slope)) {
    // The line across the plot, cut where it leaves the area.
    double x1 = plot.x.low, x2 = plot.x.high;
    const auto at = [&](double v) { return plot.intercept + plot.slope * v; };
    if (plot.slope != 0) {
      const double a = (plot.y.low - plot.intercept) / plot.slope;
      const double b = (plot.y.high - plot.intercept) / plot.slope;
      x1 = std::max(x1, std::min(a, b));
      x2 = std::min(x2, std::max(a, b));
    }
    if (x1 < x2) svg.Line(x.scale(x1), y.scale(at(x1)), x.scale(x2), y.scale(at(x2)), "fit");
  }
  if (!plot.ringed.empty()) {
    svg.Group("reference");
    for (const ScatterDot& dot : plot.ringed) {
      if (inside(dot)) svg.Circle(x(dot.x), y(dot.y), "3.5", DotTitle(dot, plot.x, plot.y));
    }
    svg.Close();
  }
  if (!plot.numbered.empty()) {
    svg.Group("top");
    for (std::size_t i = 0; i < plot.numbered.size(); ++i) {
      const ScatterDot& dot = plot.numbered[i];
      if (!inside(dot)) continue;
      svg.Circle(x(dot.x), y(dot.y), "4", DotTitle(dot, plot.x, plot.y));
      svg.Text(x(dot.x) + 5, y(dot.y) - 4, std::to_string(i + 1), "rank", "start");
    }
    svg.Close();
  }
  if (!plot.note.empty()) svg.Text(kLeft + 6, kTop + 14, plot.note, "note", "start");
  const double legend_y = plot.legend_below ? kTop + kAreaHeight - 6 -
                                                  13.0 * static_cast<double>(plot.legend.size() - 1)
                                            : kTop + 14;
  for (std::size_t i = 0; i < plot.legend.size(); ++i) {
    svg.Text(kLeft + kAreaWidth - 6, legend_y + 13.0 * static_cast<double>(i), plot.legend[i],
             "legend", "end");
  }
  if (plot.colour_bar) DrawColourBar(svg, *plot.colour_bar);
  svg.out() += plot.markup;
  if (below) {
    svg.Group("inputs-legend");
    for (std::size_t i = 0; i < plot.layers.size(); ++i) {
      const double row = kPlotHeight + kLegendRow * static_cast<double>(i) + 2;
      svg.out() += "<g class=\"" + plot.layers[i].cls + "\">";
      svg.Circle(kLeft + 4, row + 6, "4");
      svg.out() += "</g>";
      svg.Text(kLeft + 14, row + 10, plot.layers[i].name, "legend-name", "start");
    }
    svg.Close();
  }
}

}  // namespace trelba
