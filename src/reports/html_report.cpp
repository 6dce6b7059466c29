#include "reports/html_report.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <new>

#include "codes/ncbi_tables.hpp"
#include "numeric/natural_log.hpp"
#include "reports/cell_text.hpp"
#include "reports/median_series.hpp"

namespace trelba {

void ValueBins::Add(double value) {
  const double at = (value - kLowestValue) / kValueBinWidth;
  const int bin = at < 0.0 ? 0 : at >= kValueBins ? kValueBins - 1 : static_cast<int>(at);
  ++counts[static_cast<std::size_t>(bin)];
}

void ValueBins::Add(const ValueBins& other) {
  for (std::size_t b = 0; b < counts.size(); ++b) counts[b] += other.counts[b];
}

std::uint64_t ValueBins::total() const {
  std::uint64_t sum = 0;
  for (const std::uint64_t count : counts) sum += count;
  return sum;
}

void PlotBatch::Clear() {
  points.clear();
  families = {};
}

void PlotBatch::Add(std::uint64_t sequence, const GeneticCode& code, const CodingChecks& checks,
                    const SequenceAnalysis& analysis, double excess, double enc) {
  if (std::isnan(analysis.score)) return;
  points.push_back({.sequence = sequence,
                    .codons = static_cast<float>(checks.codons),
                    .score = static_cast<float>(analysis.score),
                    .excess = static_cast<float>(excess),
                    .enc = static_cast<float>(enc),
                    .gc3s = static_cast<float>(Gc3s(checks.thirds))});
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (f == kStopFamily || code.divisor[f] == 0 || analysis.totals[f] == 0.0) continue;
    families[f].Add(analysis.order[f]);
  }
}

void PlotData::Keep(const PlotPoint& point) {
  if (scored_++ % stride_ != 0) return;
  // Room for every point there can be, had once: its pages are touched only as points come,
  // and growing by doubling would leave the smaller copies' pages behind.
  if (points_.capacity() == 0) points_.reserve(kMaxPlotPoints);
  points_.push_back(point);
  if (points_.size() < kMaxPlotPoints) return;
  // Every other kept point goes: those left are every (2 stride)-th sequence.
  stride_ *= 2;
  for (std::size_t i = 0; 2 * i < points_.size(); ++i) points_[i] = points_[2 * i];
  points_.resize((points_.size() + 1) / 2);
}

void PlotData::AddReferenceValues(std::uint64_t sequence, double cai, double adaptation,
                                  bool in_reference) {
  while (reference_cursor_ < points_.size() && points_[reference_cursor_].sequence < sequence) {
    ++reference_cursor_;
  }
  if (reference_cursor_ == points_.size() || points_[reference_cursor_].sequence != sequence) {
    return;
  }
  PlotPoint& point = points_[reference_cursor_];
  point.cai = static_cast<float>(cai);
  point.adaptation = static_cast<float>(adaptation);
  point.in_reference = in_reference;
}

void PlotData::Add(const PlotBatch& batch) {
  for (const PlotPoint& point : batch.points) {
    scores_.Add(point.score);
    Keep(point);
  }
  for (std::size_t f = 1; f <= kFamilyCount; ++f) families_[f].Add(batch.families[f]);
}

void AppendHtmlText(std::string& out, std::string_view text) {
  const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = begin + text.size();
  for (const auto* p = begin; p != end;) {
    const unsigned char byte = *p;
    if (byte >= 0x80) {
      const std::size_t size = Utf8Length(p, end);
      if (size == 0) {
        out += kTextReplacement;
        ++p;
      } else {
        out.append(reinterpret_cast<const char*>(p), size);
        p += size;
      }
      continue;
    }
    switch (byte) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += byte < 0x20 || byte == 0x7f ? kTextReplacement : static_cast<char>(byte);
    }
    ++p;
  }
}

namespace {

// The plots' frame: a width and height in pixels, the plotting area inside the margins.
constexpr double kWidth = 520, kHeight = 280;
constexpr double kLeft = 58, kRight = 14, kTop = 14, kBottom = 44;
constexpr double kAreaWidth = kWidth - kLeft - kRight, kAreaHeight = kHeight - kTop - kBottom;
constexpr int kCurveBins = 24;                    // of log codons, for the expected curve
constexpr int kGridColumns = 90, kGridRows = 44;  // of the drawn density

// `value` with `decimals` decimals (never "-0.0").
void AppendFixed(std::string& out, double value, int decimals) {
  char text[64];
  const auto end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
  std::string_view written(text, static_cast<std::size_t>(end - text));
  if (written.front() == '-' && written.find_first_not_of("-0.") == std::string_view::npos) {
    written.remove_prefix(1);
  }
  out += written;
}

std::string Fixed(double value, int decimals) {
  std::string out;
  AppendFixed(out, value, decimals);
  return out;
}

// A count with thousands separated by commas.
std::string Count(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

// "2nd", "3rd", "4th", "11th", "21st": the English ordinal of a count.
std::string Ordinal(std::uint64_t value) {
  const std::uint64_t tens = value % 100;
  const char* suffix = tens >= 11 && tens <= 13 ? "th"
                       : value % 10 == 1        ? "st"
                       : value % 10 == 2        ? "nd"
                       : value % 10 == 3        ? "rd"
                                                : "th";
  return Count(value) + suffix;
}

double Log10(double x) {
  static const double kLn10 = NaturalLog(10.0);
  return NaturalLog(x) / kLn10;
}

// Values between the lowest and highest, mapped on an axis from `from` to `to` pixels.
struct Scale {
  double low, high, from, to;
  double operator()(double value) const {
    return from + (value - low) / (high - low) * (to - from);
  }
};

class Svg {
 public:
  Svg(std::string& out, std::string_view kind, double height = kHeight) : out_(out) {
    out_ += "<svg class=\"";
    out_ += kind;
    out_ += "\" xmlns=\"http://www.w3.org/2000/svg\" width=\"";
    AppendFixed(out_, kWidth, 0);
    out_ += "\" height=\"";
    AppendFixed(out_, height, 0);
    out_ += "\" viewBox=\"0 0 ";
    AppendFixed(out_, kWidth, 0);
    out_ += ' ';
    AppendFixed(out_, height, 0);
    out_ += "\">";
  }
  // A page whose memory ran out is dropped whole: its last tag may be left open then.
  ~Svg() {
    try {
      out_ += "</svg>\n";
    } catch (const std::bad_alloc&) {
    }
  }
  Svg(const Svg&) = delete;
  Svg& operator=(const Svg&) = delete;

  void Text(double x, double y, std::string_view text, std::string_view cls,
            std::string_view anchor = "middle", bool vertical = false) {
    out_ += "<text class=\"";
    out_ += cls;
    out_ += "\" x=\"";
    AppendFixed(out_, x, 1);
    out_ += "\" y=\"";
    AppendFixed(out_, y, 1);
    out_ += "\" text-anchor=\"";
    out_ += anchor;
    if (vertical) {
      out_ += "\" transform=\"rotate(-90 ";
      AppendFixed(out_, x, 1);
      out_ += ' ';
      AppendFixed(out_, y, 1);
      out_ += ')';
    }
    out_ += "\">";
    AppendHtmlText(out_, text);
    out_ += "</text>";
  }

  void Line(double x1, double y1, double x2, double y2, std::string_view cls) {
    out_ += "<line class=\"";
    out_ += cls;
    out_ += "\" x1=\"";
    AppendFixed(out_, x1, 1);
    out_ += "\" y1=\"";
    AppendFixed(out_, y1, 1);
    out_ += "\" x2=\"";
    AppendFixed(out_, x2, 1);
    out_ += "\" y2=\"";
    AppendFixed(out_, y2, 1);
    out_ += "\"/>";
  }

  // A rectangle holding `count` sequences (data-n), shaded with `opacity` when not 1.
  void Rect(double x, double y, double w, double h, std::string_view cls, std::uint64_t count,
            double opacity = 1.0) {
    out_ += "<rect class=\"";
    out_ += cls;
    out_ += "\" data-n=\"";
    out_ += std::to_string(count);
    out_ += "\" x=\"";
    AppendFixed(out_, x, 1);
    out_ += "\" y=\"";
    AppendFixed(out_, y, 1);
    out_ += "\" width=\"";
    AppendFixed(out_, w, 1);
    out_ += "\" height=\"";
    AppendFixed(out_, h, 1);
    if (opacity < 1.0) {
      out_ += "\" fill-opacity=\"";
      AppendFixed(out_, opacity, 2);
    }
    out_ += "\"/>";
  }

  void Circle(double x, double y, std::string_view r) {
    out_ += "<circle cx=\"";
    AppendFixed(out_, x, 1);
    out_ += "\" cy=\"";
    AppendFixed(out_, y, 1);
    out_ += "\" r=\"";
    out_ += r;
    out_ += "\"/>";
  }

  std::string& out() { return out_; }

 private:
  std::string& out_;
};

// The box around a plot's area.
void Box(Svg& svg) {
  svg.out() += "<rect class=\"frame\" x=\"";
  AppendFixed(svg.out(), kLeft, 0);
  svg.out() += "\" y=\"";
  AppendFixed(svg.out(), kTop, 0);
  svg.out() += "\" width=\"";
  AppendFixed(svg.out(), kAreaWidth, 0);
  svg.out() += "\" height=\"";
  AppendFixed(svg.out(), kAreaHeight, 0);
  svg.out() += "\"/>";
}

// The frame of a plot: its box, ticks of y at `step` and labels of both axes.
void Frame(Svg& svg, const Scale& y, double step, std::string_view x_label,
           std::string_view y_label) {
  Box(svg);
  const int ticks = static_cast<int>(std::round((y.high - y.low) / step));
  for (int i = 0; i <= ticks; ++i) {
    const double value = y.low + i * step;
    svg.Line(kLeft - 4, y(value), kLeft, y(value), "tick");
    svg.Text(kLeft - 6, y(value) + 4, Fixed(value, step < 0.1 ? 2 : 1), "tick-label", "end");
  }
  svg.Text(kLeft + kAreaWidth / 2, kHeight - 8, x_label, "axis-label");
  svg.Text(16, kTop + kAreaHeight / 2, y_label, "axis-label", "middle", true);
}

// The decade ticks of a log-scale axis of codons.
void CodonTicks(Svg& svg, const Scale& x, int low, int high) {
  for (int k = low; k <= high; ++k) {
    svg.Line(x(k), kTop + kAreaHeight, x(k), kTop + kAreaHeight + 4, "tick");
    constexpr std::string_view kNames[] = {"1", "10", "100", "1,000", "10k", "100k", "1M", "10M"};
    const std::string label =
        k < 8 ? std::string(kNames[static_cast<std::size_t>(k)]) : "1e" + std::to_string(k);
    svg.Text(x(k), kTop + kAreaHeight + 16, label, "tick-label");
  }
}

// A range of values rounded out to tenths, never empty.
std::pair<double, double> TenthsAround(double low, double high) {
  std::pair<double, double> range{std::floor(low * 10) / 10, std::ceil(high * 10) / 10};
  if (range.second <= range.first) range.second = range.first + 0.1;
  return range;
}

// The points of one plot, each drawn, or as a grid of bins when there are too many.
void DrawPoints(Svg& svg, const std::vector<std::pair<double, double>>& xy, const Scale& x,
                const Scale& y) {
  if (xy.size() <= kMaxDrawnPoints) {
    svg.out() += "<g class=\"points\">";
    for (const auto& [px, py] : xy) svg.Circle(x(px), y(py), "1.8");
    svg.out() += "</g>";
    return;
  }
  std::vector<std::uint64_t> grid(kGridColumns * kGridRows, 0);
  const auto cell = [](double at, double from, double size, int cells) {
    const double i = (at - from) / size * cells;
    return i < 0 ? 0 : i >= cells ? cells - 1 : static_cast<int>(i);
  };
  for (const auto& [px, py] : xy) {
    const int c = cell(x(px), kLeft, kAreaWidth, kGridColumns);
    const int r = cell(y(py), kTop, kAreaHeight, kGridRows);
    ++grid[static_cast<std::size_t>(r * kGridColumns + c)];
  }
  const double most = static_cast<double>(*std::max_element(grid.begin(), grid.end()));
  const double w = kAreaWidth / kGridColumns, h = kAreaHeight / kGridRows;
  svg.out() += "<g class=\"density\">";
  for (int r = 0; r < kGridRows; ++r) {
    for (int c = 0; c < kGridColumns; ++c) {
      const std::uint64_t n = grid[static_cast<std::size_t>(r * kGridColumns + c)];
      if (n == 0) continue;
      const double shade =
          0.15 + 0.85 * NaturalLog(1.0 + static_cast<double>(n)) / NaturalLog(1.0 + most);
      svg.Rect(kLeft + c * w, kTop + r * h, w, h, "bin", n, shade);
    }
  }
  svg.out() += "</g>";
}

// Score and excess against codons, the first with the median expected score by codons.
void ScatterPlots(std::string& out, const PlotData& plot) {
  const std::vector<PlotPoint>& points = plot.points();
  float fewest = std::numeric_limits<float>::max(), most = 1;
  double low_score = 0, high_score = 1, low_excess = 0, high_excess = 0;
  for (const PlotPoint& p : points) {
    fewest = std::min(fewest, std::max(p.codons, 1.0f));
    most = std::max(most, p.codons);
    low_score = std::min(low_score, static_cast<double>(p.score));
    high_score = std::max(high_score, static_cast<double>(p.score));
    if (!std::isnan(p.excess)) {
      low_excess = std::min(low_excess, static_cast<double>(p.excess));
      high_excess = std::max(high_excess, static_cast<double>(p.excess));
    }
  }
  if (points.empty()) fewest = 1;
  int low = 0, high = 0;  // decades
  for (double power = 10; power <= fewest; power *= 10) ++low;
  for (double power = 1; power < most; power *= 10) ++high;
  if (high <= low) high = low + 1;
  const Scale x{static_cast<double>(low), static_cast<double>(high), kLeft, kLeft + kAreaWidth};
  const auto log_codons = [](float codons) { return Log10(std::max(codons, 1.0f)); };

  {
    const auto [y_low, y_high] = TenthsAround(low_score, high_score);
    const Scale y{y_low, y_high, kTop + kAreaHeight, kTop};
    Svg svg(out, "scatter score-plot");
    Frame(svg, y, y_high - y_low > 0.6 ? 0.2 : 0.1, "codons (log scale)", "score");
    CodonTicks(svg, x, low, high);
    std::vector<std::pair<double, double>> xy;
    xy.reserve(points.size());
    std::vector<std::vector<double>> expected(kCurveBins);
    for (const PlotPoint& p : points) {
      const double at = log_codons(p.codons);
      xy.emplace_back(at, p.score);
      if (std::isnan(p.excess)) continue;
      const double i = (at - low) / (high - low) * kCurveBins;
      expected[static_cast<std::size_t>(std::clamp(static_cast<int>(i), 0, kCurveBins - 1))]
          .push_back(static_cast<double>(p.score) - static_cast<double>(p.excess));
    }
    DrawPoints(svg, xy, x, y);
    std::string curve;
    svg.out() += "<g class=\"expected\">";
    for (int b = 0; b < kCurveBins; ++b) {
      std::vector<double>& values = expected[static_cast<std::size_t>(b)];
      if (values.empty()) continue;
      const double cx = x(low + (b + 0.5) * (high - low) / kCurveBins), cy = y(Median(values));
      if (!curve.empty()) curve += ' ';
      AppendFixed(curve, cx, 1);
      curve += ',';
      AppendFixed(curve, cy, 1);
      svg.Circle(cx, cy, "3");
    }
    svg.out() += "<polyline points=\"" + curve + "\"/></g>";
    svg.Text(kLeft + kAreaWidth - 6, kTop + 14, "dots: sequences; line: median expected score",
             "legend", "end");
  }
  {
    const auto [y_low, y_high] = TenthsAround(low_excess, high_excess);
    const Scale y{y_low, y_high, kTop + kAreaHeight, kTop};
    Svg svg(out, "scatter excess-plot");
    Frame(svg, y, y_high - y_low > 0.6 ? 0.2 : 0.1, "codons (log scale)",
          "excess (score - expected)");
    CodonTicks(svg, x, low, high);
    svg.Line(kLeft, y(0), kLeft + kAreaWidth, y(0), "zero");
    std::vector<std::pair<double, double>> xy;
    xy.reserve(points.size());
    for (const PlotPoint& p : points) {
      if (!std::isnan(p.excess)) xy.emplace_back(log_codons(p.codons), p.excess);
    }
    DrawPoints(svg, xy, x, y);
    svg.Text(kLeft + kAreaWidth - 6, kTop + 14, "dots: sequences; dashed line: what chance gives",
             "legend", "end");
  }
}

// Ticks every `step` along an axis of values, labelled with the decimals the step needs.
void ValueAxisTicks(Svg& svg, const Scale& scale, double step, bool horizontal) {
  const int decimals = step >= 1 ? 0 : step >= 0.1 ? 1 : 2;
  const int first = static_cast<int>(std::ceil(scale.low / step - 1e-9));
  const int last = static_cast<int>(std::floor(scale.high / step + 1e-9));
  for (int i = first; i <= last; ++i) {
    const double value = i * step;
    const double at = scale(value);
    if (horizontal) {
      svg.Line(at, kTop + kAreaHeight, at, kTop + kAreaHeight + 4, "tick");
      svg.Text(at, kTop + kAreaHeight + 16, Fixed(value, decimals), "tick-label");
    } else {
      svg.Line(kLeft - 4, at, kLeft, at, "tick");
      svg.Text(kLeft - 6, at + 4, Fixed(value, decimals), "tick-label", "end");
    }
  }
}

// A step of 1, 2 or 5 times a power of ten giving about six ticks over `span`.
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

// A plot of one value against another, the reference's genes ringed when there are any.
struct PairPlot {
  std::string_view kind;  // its class
  std::string_view x_label, y_label, legend;
  double x_low, x_high, y_low, y_high;
  // A curve drawn over the points: y of x at 51 points from x_low to x_high (none when null).
  double (*curve)(double) = nullptr;
  bool legend_below = false;  // at the bottom right, where the points rise to the top right
};

void DrawPairs(std::string& out, const PairPlot& plot,
               const std::vector<std::pair<double, double>>& xy,
               const std::vector<std::pair<double, double>>& ringed) {
  const Scale x{plot.x_low, plot.x_high, kLeft, kLeft + kAreaWidth};
  const Scale y{plot.y_low, plot.y_high, kTop + kAreaHeight, kTop};
  Svg svg(out, plot.kind);
  Box(svg);
  ValueAxisTicks(svg, x, TickStep(plot.x_high - plot.x_low), true);
  ValueAxisTicks(svg, y, TickStep(plot.y_high - plot.y_low), false);
  svg.Text(kLeft + kAreaWidth / 2, kHeight - 8, plot.x_label, "axis-label");
  svg.Text(16, kTop + kAreaHeight / 2, plot.y_label, "axis-label", "middle", true);
  DrawPoints(svg, xy, x, y);
  if (plot.curve != nullptr) {
    svg.out() += "<g class=\"wright\"><polyline points=\"";
    for (int i = 0; i <= 50; ++i) {
      const double at = plot.x_low + (plot.x_high - plot.x_low) * i / 50;
      if (i != 0) svg.out() += ' ';
      AppendFixed(svg.out(), x(at), 1);
      svg.out() += ',';
      AppendFixed(svg.out(), y(plot.curve(at)), 1);
    }
    svg.out() += "\"/></g>";
  }
  if (!ringed.empty()) {
    svg.out() += "<g class=\"reference\">";
    for (const auto& [px, py] : ringed) svg.Circle(x(px), y(py), "3.5");
    svg.out() += "</g>";
  }
  svg.Text(kLeft + kAreaWidth - 6, plot.legend_below ? kTop + kAreaHeight - 6 : kTop + 14,
           ringed.empty() ? plot.legend.substr(0, plot.legend.find(';')) : plot.legend, "legend",
           "end");
}

// The range of values, widened to whole ticks and never empty.
std::pair<double, double> RangeOf(const std::vector<std::pair<double, double>>& xy, bool second,
                                  double low, double high) {
  for (const auto& point : xy) {
    const double value = second ? point.second : point.first;
    low = std::min(low, value);
    high = std::max(high, value);
  }
  const double step = TickStep(high - low > 0 ? high - low : 1.0);
  return {std::floor(low / step) * step, std::max(std::ceil(high / step) * step, low + step)};
}

// ENC against GC3s with Wright's expected ENC for GC3s alone, and, with a reference, CAI
// and adaptation against excess, the reference's genes ringed.
void UsagePlots(std::string& out, const PlotData& plot, bool reference) {
  const std::vector<PlotPoint>& points = plot.points();
  std::vector<std::pair<double, double>> xy;
  xy.reserve(points.size());
  for (const PlotPoint& p : points) {
    if (!std::isnan(p.enc) && !std::isnan(p.gc3s)) xy.emplace_back(p.gc3s, p.enc);
  }
  const auto [enc_low, enc_high] = RangeOf(xy, true, 20, 61);
  DrawPairs(out,
            {"scatter enc-plot", "GC3s", "ENC (effective number of codons)",
             "dots: sequences; line: Wright's ENC from GC3s alone", 0, 1, enc_low, enc_high,
             [](double s) { return 2 + s + 29 / (s * s + (1 - s) * (1 - s)); }},
            xy, {});
  if (!reference) return;
  const auto pairs = [&](float PlotPoint::*value) {
    std::vector<std::pair<double, double>> all, ringed;
    for (const PlotPoint& p : points) {
      if (std::isnan(p.excess) || std::isnan(p.*value)) continue;
      all.emplace_back(p.excess, p.*value);
      if (p.in_reference) ringed.emplace_back(p.excess, p.*value);
    }
    return std::pair(all, ringed);
  };
  const auto [cai, cai_ringed] = pairs(&PlotPoint::cai);
  const auto [excess_low, excess_high] = RangeOf(cai, false, 0, 0);
  const std::string_view legend = "dots: sequences; rings: the reference set's genes";
  DrawPairs(out,
            {"scatter cai-plot", "excess (score - expected)", "CAI", legend, excess_low,
             excess_high, 0, 1, nullptr, true},
            cai, cai_ringed);
  const auto [adaptation, adaptation_ringed] = pairs(&PlotPoint::adaptation);
  const auto [a_low, a_high] = RangeOf(adaptation, true, 0, 0);
  DrawPairs(
      out,
      {"scatter adaptation-plot", "excess (score - expected)", "adaptation (log-odds per codon)",
       legend, excess_low, excess_high, a_low, a_high, nullptr, true},
      adaptation, adaptation_ringed);
}

// The first bin a histogram of these bins shows: the lowest non-empty one, or that of 0.
std::size_t FirstShownBin(const ValueBins& bins, std::size_t first) {
  for (std::size_t b = 0; b < first; ++b) {
    if (bins.counts[b] != 0) return b;
  }
  return first;
}

constexpr auto kZeroBin = static_cast<std::size_t>(-kLowestValue / kValueBinWidth + 0.5);

double BinEdge(std::size_t bin) {
  return kLowestValue + static_cast<double>(bin) * kValueBinWidth;
}

void ValueTicks(Svg& svg, const Scale& x, double y) {
  for (int tenth = -8; tenth <= 10; tenth += 2) {
    const double value = tenth / 10.0;
    if (value < x.low - 1e-9) continue;
    svg.Line(x(value), y, x(value), y + 4, "tick");
    svg.Text(x(value), y + 16, Fixed(value, 1), "tick-label");
  }
}

void ScoreHistogram(std::string& out, const PlotData& plot) {
  const ValueBins& bins = plot.scores();
  const std::size_t first = FirstShownBin(bins, kZeroBin);
  const Scale x{BinEdge(first), 1.0, kLeft, kLeft + kAreaWidth};
  const std::uint64_t most =
      std::max<std::uint64_t>(1, *std::max_element(bins.counts.begin(), bins.counts.end()));
  const Scale y{0, static_cast<double>(most), kTop + kAreaHeight, kTop};
  Svg svg(out, "histogram");
  Box(svg);
  svg.Text(kLeft - 6, y(0) + 4, "0", "tick-label", "end");
  svg.Text(kLeft - 6, y(static_cast<double>(most)) + 4, Count(most), "tick-label", "end");
  ValueTicks(svg, x, kTop + kAreaHeight);
  svg.Text(kLeft + kAreaWidth / 2, kHeight - 8, "score", "axis-label");
  svg.Text(16, kTop + kAreaHeight / 2, "sequences", "axis-label", "middle", true);
  svg.out() += "<g class=\"bars\">";
  for (std::size_t b = first; b < bins.counts.size(); ++b) {
    const std::uint64_t n = bins.counts[b];
    if (n == 0) continue;
    const double left = x(BinEdge(b)), top = y(static_cast<double>(n));
    svg.Rect(left, top, x(BinEdge(b + 1)) - left, y(0) - top, "bar", n);
  }
  svg.out() += "</g>";
}

// One strip per family: how its order values fall in the bins, and their median.
void FamilyStrips(std::string& out, const PlotData& plot) {
  constexpr double kRow = 15, kStripLeft = 58;
  std::size_t first = kZeroBin;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) first = FirstShownBin(plot.family(f), first);
  const double height = kTop + (kFamilyCount - 1) * kRow + kBottom;
  const Scale x{BinEdge(first), 1.0, kStripLeft, kStripLeft + kAreaWidth - 40};
  Svg svg(out, "families", height);
  int row = 0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (f == kStopFamily) continue;
    const ValueBins& bins = plot.family(f);
    const double top = kTop + row++ * kRow;
    svg.out() += "<g class=\"family\" data-family=\"";
    svg.out() += kFamilyNames[f];
    svg.out() += "\">";
    svg.Text(kStripLeft - 6, top + 11, kFamilyNames[f], "family-name", "end");
    const std::uint64_t total = bins.total();
    if (total == 0) {
      svg.Text(x(x.low), top + 11, "no values under this code", "none", "start");
      svg.out() += "</g>";
      continue;
    }
    const double most =
        static_cast<double>(*std::max_element(bins.counts.begin(), bins.counts.end()));
    std::uint64_t below = 0;
    std::size_t median = first;
    for (std::size_t b = first; b < bins.counts.size(); ++b) {
      const std::uint64_t n = bins.counts[b];
      if (below < (total + 1) / 2 && below + n >= (total + 1) / 2) median = b;
      below += n;
      if (n == 0) continue;
      const double left = x(BinEdge(b));
      svg.Rect(left, top + 1, x(BinEdge(b + 1)) - left, kRow - 2, "cell", n,
               0.12 + 0.88 * static_cast<double>(n) / most);
    }
    const double at = x(BinEdge(median) + kValueBinWidth / 2);
    svg.Line(at, top, at, top + kRow, "median");
    svg.Text(x(1.0) + 4, top + 11, Count(total), "count", "start");
    svg.out() += "</g>";
  }
  ValueTicks(svg, x, kTop + (kFamilyCount - 1) * kRow);
  svg.Text(x((x.low + 1.0) / 2), height - 8, "order value (1 - H/ln k); tick: median",
           "axis-label");
}

void AppendSummaryLine(std::string& out, std::string_view name, const std::string& value) {
  out += "<tr><th>";
  out += name;
  out += "</th><td>";
  out += value;
  out += "</td></tr>";
}

std::string Number(double value, int decimals) {
  return std::isnan(value) ? "NA" : Fixed(value, decimals);
}

constexpr std::string_view kStyle =
    "body{font-family:sans-serif;margin:1.5em;color:#222;display:flex;flex-direction:column}"
    "h1{order:-3;margin:0 0 "
    ".2em}.run{order:-2}.overview{order:-1;margin-bottom:1em;align-self:flex-start}"
    "section.input{border-top:1px solid #bbb;padding:.5em 0;display:flex;flex-wrap:wrap;"
    "gap:1em;align-items:flex-start}section.input h2{width:100%;margin:.2em 0;font-size:1.1em}"
    "table{border-collapse:collapse;font-size:.85em}th,td{padding:.1em .6em;text-align:left}"
    "td{text-align:right}.overview td:first-child{text-align:left}.error{color:#a00}"
    "svg text{font-size:11px;fill:#222}.axis-label{font-size:12px}.legend{fill:#555}"
    ".frame{fill:none;stroke:#888}.tick{stroke:#888}.zero{stroke:#c33;stroke-dasharray:4 3}"
    ".points circle{fill:#2166ac;fill-opacity:.45}.bin{fill:#2166ac}"
    ".expected polyline{fill:none;stroke:#d6604d;stroke-width:2}.expected circle{fill:#d6604d}"
    ".bar{fill:#4393c3}.cell{fill:#2166ac}.median{stroke:#d6604d;stroke-width:2}"
    ".none{fill:#888}.count{fill:#555}.reference circle{fill:none;stroke:#b2182b;"
    "stroke-width:1.5}.wright polyline{fill:none;stroke:#1b7837;stroke-width:2}\n";

}  // namespace

HtmlReport::HtmlReport(OutputBuffer& out, const GeneticCode& code, std::string_view background)
    : out_(out) {
  std::string head =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<title>Trelba report</title><style>";
  head += kStyle;
  head += "</style></head>\n<body>\n<h1>Trelba report</h1>\n<p class=\"run\">Genetic code: ";
  if (code.ncbi_table != 0) {
    head += "NCBI translation table " + std::to_string(code.ncbi_table) + " (";
    AppendHtmlText(head, NcbiTableName(code.ncbi_table));
    head += ')';
  } else {
    head += "variant ";
    head += code.id;
  }
  head += "; background of the expected score: ";
  AppendHtmlText(head, background);
  head += ".</p>\n";
  out_.Append(head);
}

void HtmlReport::AddInput(const PageInput& input) {
  ++inputs_;
  std::string text = "<section class=\"input\" id=\"input-" + std::to_string(inputs_) + "\"><h2>";
  AppendHtmlText(text, input.row.file);
  text += "</h2>\n";
  overview_ += "<tr><td><a href=\"#input-" + std::to_string(inputs_) + "\">";
  AppendHtmlText(overview_, input.row.file);
  overview_ += "</a></td>";
  if (!input.row.error.empty() || input.plot == nullptr) {
    text += "<p class=\"error\">";
    AppendHtmlText(text, input.row.error);
    text += "</p></section>\n";
    overview_ += "<td class=\"error\" colspan=\"4\">";
    AppendHtmlText(overview_, input.row.error);
    overview_ += "</td></tr>";
    out_.Append(text);
    return;
  }
  const PlotData& plot = *input.plot;
  text += "<table class=\"summary\">";
  AppendSummaryLine(text, "sequences", Count(input.row.sequences));
  AppendSummaryLine(text, "codons", Count(input.row.codons));
  AppendSummaryLine(text, "average positive score", Number(input.row.average, 4));
  AppendSummaryLine(text, "GC", Number(input.row.gc, 4));
  AppendSummaryLine(text, "GC3", Number(input.row.gc3, 4));
  AppendSummaryLine(text, "with internal stops", Count(input.row.internal_stop_sequences));
  AppendSummaryLine(text, "partial", Count(input.row.partial_sequences));
  AppendSummaryLine(text, "plotted",
                    plot.stride() == 1
                        ? "every sequence, " + Count(plot.points().size())
                        : "every " + Ordinal(plot.stride()) + " sequence, " +
                              Count(plot.points().size()) + " of " + Count(plot.scored()));
  text += "</table>\n";
  ScatterPlots(text, plot);
  UsagePlots(text, plot, !input.row.reference.empty());
  ScoreHistogram(text, plot);
  FamilyStrips(text, plot);
  text += "</section>\n";
  out_.Append(text);
  overview_ += "<td>" + Count(input.row.sequences) + "</td><td>" + Count(input.row.codons) +
               "</td><td>" + Number(input.row.average, 4) + "</td><td>" + Number(input.row.gc, 4) +
               "</td></tr>";
}

void HtmlReport::Finish() {
  std::string text =
      "<table class=\"overview\"><tr><th>input</th><th>sequences</th><th>codons</th>"
      "<th>average positive score</th><th>GC</th></tr>";
  text += overview_;
  text += "</table>\n</body></html>\n";
  out_.Append(text);
}

}  // namespace trelba
