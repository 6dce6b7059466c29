// A scatter plot of genes (or of inputs): every dot named on hover by its SVG <title>, the id
// and the two values; the reference's genes ringed; the genes of a top-genes table ringed
// and numbered; a curve, a fitted line or guide lines over them; a legend of the inputs
// when several are overlaid, a colour bar when the dots are coloured by a value. A layer
// of more than kMaxDrawnPoints dots is drawn as a grid of bins shaded by how many dots each
// holds, each bin named by its count.
#pragma once

#include <array>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/svg_canvas.hpp"

namespace trelba {

inline constexpr std::size_t kMaxDrawnPoints = 20000;

// A scatter plot's size in view units, and the margins around its area.
inline constexpr double kPlotWidth = 360, kPlotHeight = 300;
inline constexpr double kLeft = 52, kRight = 12, kTop = 12, kBottom = 42;
inline constexpr double kAreaWidth = kPlotWidth - kLeft - kRight;
inline constexpr double kAreaHeight = kPlotHeight - kTop - kBottom;

struct ScatterAxis {
  std::string label;        // under or beside the axis
  std::string_view column;  // the value's name in the dots' titles
  double low = 0, high = 1;
  int decimals = 3;    // of the values in the titles
  bool log10 = false;  // the dots' values are the log10 of the column's (ticks at decades)
};

struct ScatterDot {
  double x = 0, y = 0;
  std::string_view id;
  bool id_cut = false;
  std::array<char, 8> fill{};  // "#rrggbb", or empty for the layer's colour
};

struct ScatterLayer {
  std::string cls;   // the class of its group
  std::string name;  // in the legend (overlaid inputs)
  std::vector<ScatterDot> dots;
};

struct ColourBar {
  std::string label;
  double low = 0, high = 1;
  bool diverging = false;  // blue through white to red, else the sequential scale
};

struct Scatter {
  std::string_view kind;  // the class of its <svg>
  ScatterAxis x, y;
  std::vector<ScatterLayer> layers;
  std::vector<ScatterDot> ringed;    // the reference's genes
  std::vector<ScatterDot> numbered;  // the genes of the top-genes table, in its order
  double (*curve)(double) = nullptr;
  double slope = std::numeric_limits<double>::quiet_NaN();  // a fitted line, when a number
  double intercept = 0;
  bool halves = false;              // dashed lines at 0.5 on both axes
  bool zero = false;                // a dashed line at y = 0
  std::vector<std::string> legend;  // lines at the top right (the bottom right when below)
  bool legend_below = false;
  std::string note;  // at the top left: the plot's numbers
  std::optional<ColourBar> colour_bar;
  std::string markup;  // drawn last, in the plot's units (the columns of a correspondence analysis)
};

void DrawScatter(std::string& out, const Scatter& plot, SvgTarget target);

// The fill of a dot from a colour "#rrggbb".
std::array<char, 8> DotFill(std::string_view colour);

// Ticks every `step` along an axis of values, labelled with the decimals the step needs;
// `along` is where the axis lies (y of a horizontal axis, x of a vertical one).
void ValueAxisTicks(Svg& svg, const Scale& scale, double step, bool horizontal, double along);
// A step of 1, 2 or 5 times a power of ten giving at most eight ticks over `span`.
double TickStep(double span);
// The range of `values` with `low` and `high`, widened to whole ticks and never empty.
std::pair<double, double> TickRange(double low, double high);

}  // namespace trelba
