#include "reports/figure_histograms.hpp"

#include <algorithm>

#include "reports/gene_scatter.hpp"

namespace trelba {
namespace {

// The bins a histogram shows: from the first non-empty one (or `first`) to the last
// non-empty one (or `last`), both included.
std::pair<std::size_t, std::size_t> ShownBins(const ValueBins& bins, const BinRange& range,
                                              std::size_t first, std::size_t last) {
  for (std::size_t b = 0; b < static_cast<std::size_t>(range.count); ++b) {
    if (bins.counts[b] == 0) continue;
    first = std::min(first, b);
    last = std::max(last, b);
  }
  return {first, last};
}

// The bin of the value `value` of `range`.
std::size_t BinOf(const BinRange& range, double value) {
  return static_cast<std::size_t>((value - range.low) / range.width + 0.5);
}

}  // namespace

void EncRatioHistogram(std::string& out, const PlotData& plot, SvgTarget target) {
  const ValueBins& bins = plot.enc_ratios();
  const BinRange& range = kEncRatioBins;
  const auto [first, last] = ShownBins(bins, range, BinOf(range, -0.1), BinOf(range, 0.4) - 1);
  const Scale x{range.Edge(first), range.Edge(last + 1), kLeft, kLeft + kAreaWidth};
  const std::uint64_t most =
      std::max<std::uint64_t>(1, *std::max_element(bins.counts.begin(), bins.counts.end()));
  const auto [y_low, y_high] = TickRange(0, static_cast<double>(most));
  const Scale y{y_low, y_high, kTop + kAreaHeight, kTop};
  Svg svg(out, "histogram enc-ratio-plot", kPlotWidth, kPlotHeight, target);
  svg.Box(kLeft, kTop, kAreaWidth, kAreaHeight, "frame");
  ValueAxisTicks(svg, x, TickStep(x.high - x.low), true, kTop + kAreaHeight);
  ValueAxisTicks(svg, y, TickStep(y_high - y_low), false, kLeft);
  svg.Text(kLeft + kAreaWidth / 2, kTop + kAreaHeight + 34,
           "enc_ratio ((expected - enc) / expected)", "axis-label");
  svg.Text(14, kTop + kAreaHeight / 2, "genes", "axis-label", "middle", true);
  svg.Group("bars");
  for (std::size_t b = first; b <= last; ++b) {
    const std::uint64_t n = bins.counts[b];
    if (n == 0) continue;
    const double left = x(range.Edge(b)), top = y(static_cast<double>(n));
    svg.Rect(left, top, x(range.Edge(b + 1)) - left, y(0) - top, "bar", n, 1.0, {},
             Fixed(range.Edge(b), 3) + " to " + Fixed(range.Edge(b + 1), 3) + ": " + Count(n) +
                 (n == 1 ? " gene" : " genes"));
  }
  svg.Close();
  if (x.low < 0 && x.high > 0) svg.Line(x(0), kTop, x(0), kTop + kAreaHeight, "zero");
  svg.Text(kLeft + kAreaWidth - 6, kTop + 14, "above 0: more bias than gc3s explains", "legend",
           "end");
  svg.Text(kLeft + kAreaWidth - 6, kTop + 27, Count(bins.total()) + " genes", "legend", "end");
}

void FamilyStrips(std::string& out, const PlotData& plot, SvgTarget target) {
  constexpr double kRow = 12, kStripLeft = 40, kStripRight = kPlotWidth - 56;
  const BinRange& range = kOrderValueBins;
  std::size_t first = BinOf(range, 0.0);
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    first = ShownBins(plot.family(f), range, first, first).first;
  }
  const double height = kTop + (kFamilyCount - 1) * kRow + kBottom;
  const Scale x{range.Edge(first), 1.0, kStripLeft, kStripRight};
  Svg svg(out, "families", kPlotWidth, height, target);
  int row = 0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (f == kStopFamily) continue;
    const ValueBins& bins = plot.family(f);
    const double top = kTop + row++ * kRow;
    svg.out() += "<g class=\"family\" data-family=\"";
    svg.out() += kFamilyNames[f];
    svg.out() += "\">";
    svg.Text(kStripLeft - 5, top + 9.5, kFamilyNames[f], "family-name", "end");
    const std::uint64_t total = bins.total();
    if (total == 0) {
      svg.Text(x(x.low), top + 9.5, "no values under this code", "none", "start");
      svg.Close();
      continue;
    }
    const double most =
        static_cast<double>(*std::max_element(bins.counts.begin(), bins.counts.end()));
    std::uint64_t below = 0;
    std::size_t median = first;
    for (std::size_t b = first; b < static_cast<std::size_t>(range.count); ++b) {
      const std::uint64_t n = bins.counts[b];
      if (below < (total + 1) / 2 && below + n >= (total + 1) / 2) median = b;
      below += n;
      if (n == 0) continue;
      const double left = x(range.Edge(b));
      svg.Rect(left, top + 1, x(range.Edge(b + 1)) - left, kRow - 2, "cell", n,
               0.12 + 0.88 * static_cast<double>(n) / most);
    }
    const double at = x(range.Edge(median) + range.width / 2);
    svg.Line(at, top, at, top + kRow, "median");
    svg.Text(kStripRight + 4, top + 9.5, Count(total), "count", "start");
    svg.Close();
  }
  const double axis = kTop + (kFamilyCount - 1) * kRow;
  for (int tenth = -8; tenth <= 10; tenth += 2) {
    const double value = tenth / 10.0;
    if (value < x.low - 1e-9) continue;
    svg.Line(x(value), axis, x(value), axis + 4, "tick");
    svg.Text(x(value), axis + 16, Fixed(value, 1), "tick-label");
  }
  svg.Text((kStripLeft + kStripRight) / 2, height - 8, "order value (1 - H/ln k); tick: median",
           "axis-label");
}

}  // namespace trelba
