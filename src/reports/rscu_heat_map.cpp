#include "reports/rscu_heat_map.hpp"

#include <algorithm>
#include <cmath>
#include <map>

#include "numeric/natural_log.hpp"
#include "reports/colour_scale.hpp"

namespace trelba {
namespace {

constexpr double kRow = 7;           // a codon's row
constexpr double kLabels = 62;       // the amino acids' and codons' names at the left
constexpr double kMostWidth = 620;   // of the columns together
constexpr double kNames = 110;       // the columns' names at the top, when written
constexpr double kScaleHeight = 34;  // the colour scale below
constexpr int kShades = 17;          // of a cell drawn without its name

// Blue at RSCU 1/4 or less, white at 1, red at 4 or more.
double Shade(double rscu) {
  if (std::isnan(rscu)) return std::nan("");
  if (rscu <= 0.25) return -1.0;
  static const double kLn4 = NaturalLog(4.0);
  return std::clamp(NaturalLog(rscu) / kLn4, -1.0, 1.0);
}

}  // namespace

void DrawRscuHeatMap(std::string& out, const RunPlotData& run, SvgTarget target) {
  const SynonymousCodons& synonymous = run.synonymous();
  // The rows: the amino acids of two or more codons in family order, their codons ascending.
  std::vector<std::pair<std::uint8_t, std::uint8_t>> rows;  // amino acid, codon
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    for (std::size_t c = 1; c <= kCodonCount; ++c) {
      if (synonymous.acid_of[c] == f && synonymous.synonymous[c]) {
        rows.emplace_back(static_cast<std::uint8_t>(f), static_cast<std::uint8_t>(c));
      }
    }
  }
  const std::vector<RscuColumn>& columns = run.rscu();
  const std::size_t n = columns.size();
  const bool named = n <= kNamedColumns, titled = n <= kTitledColumns;
  const double cell = std::min(14.0, kMostWidth / static_cast<double>(std::max<std::size_t>(n, 1)));
  const double top = named ? kNames : 12;
  const double width = std::max(kLabels + cell * static_cast<double>(n) + 40, 380.0);
  const double height = top + kRow * static_cast<double>(rows.size()) + kScaleHeight;
  Svg svg(out, "heat rscu-plot", width, height, target);
  // The names of the rows.
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const double y = top + kRow * static_cast<double>(r);
    if (r == 0 || rows[r].first != rows[r - 1].first) {
      svg.Text(22, y + 6, kFamilyNames[rows[r].first], "aa", "end");
      if (r != 0) svg.Line(26, y, kLabels + cell * static_cast<double>(n), y, "tick");
    }
    svg.Text(kLabels - 3, y + 6, CodonName(rows[r].second), "code", "end");
  }
  if (named) {
    for (std::size_t k = 0; k < n; ++k) {
      const double x = kLabels + cell * (static_cast<double>(k) + 0.5) + 3;
      svg.Text(x, top - 4, NameEnd(columns[k].name, 28),
               columns[k].reference ? "code reference-name" : "code", "start", true);
    }
  }
  svg.Group("cells");
  if (titled) {
    for (std::size_t k = 0; k < n; ++k) {
      for (std::size_t r = 0; r < rows.size(); ++r) {
        const double rscu = columns[k].rscu[rows[r].second];
        std::string title = columns[k].name + ": " + CodonName(rows[r].second) + " (" +
                            std::string(kFamilyNames[rows[r].first]) + ") RSCU " + Number(rscu, 3);
        svg.Rect(kLabels + cell * static_cast<double>(k), top + kRow * static_cast<double>(r), cell,
                 kRow, "rscu", 0, 1.0, DivergingColour(Shade(rscu)), title);
      }
    }
  } else {
    // One path per shade, each cell a unit square of a group scaled to the cells' size.
    std::map<int, std::string> paths;  // by shade step, -kShades/2 .. kShades/2, or kShades (NA)
    for (std::size_t k = 0; k < n; ++k) {
      for (std::size_t r = 0; r < rows.size(); ++r) {
        const double shade = Shade(columns[k].rscu[rows[r].second]);
        const int step =
            std::isnan(shade) ? kShades : static_cast<int>(std::lround(shade * (kShades / 2)));
        std::string& path = paths[step];
        path += 'M' + std::to_string(k) + ' ' + std::to_string(r) + "h1v1h-1z";
      }
    }
    svg.out() += "<g transform=\"translate(";
    AppendFixed(svg.out(), kLabels, 1);
    svg.out() += ' ';
    AppendFixed(svg.out(), top, 1);
    svg.out() += ") scale(";
    AppendFixed(svg.out(), cell, 4);
    svg.out() += ' ';
    AppendFixed(svg.out(), kRow, 1);
    svg.out() += ")\">";
    for (const auto& [step, path] : paths) {
      svg.out() += "<path fill=\"";
      svg.out() += step == kShades ? DivergingColour(std::nan(""))
                                   : DivergingColour(static_cast<double>(step) / (kShades / 2));
      svg.out() += "\" d=\"" + path + "\"/>";
    }
    svg.out() += "</g>";
  }
  svg.Close();
  // The colour scale.
  const double y = top + kRow * static_cast<double>(rows.size()) + 8;
  constexpr double kSwatch = 14;
  const double left = kLabels;
  const double values[] = {0.25, 0.5, 1, 2, 4};
  svg.Group("scale");
  for (int i = 0; i < 9; ++i) {
    svg.out() += "<g fill=\"" + DivergingColour((i - 4) / 4.0) + "\">";
    svg.Box(left + i * kSwatch, y, kSwatch, 8, "swatch");
    svg.Close();
  }
  svg.Close();
  for (int i = 0; i < 5; ++i) {
    svg.Text(left + (2 * i + 0.5) * kSwatch, y + 18, Fixed(values[i], values[i] < 1 ? 2 : 0),
             "tick-label");
  }
  svg.Text(left + 9 * kSwatch + 6, y + 8, "RSCU (grey: amino acid absent)", "legend", "start");
}

}  // namespace trelba
