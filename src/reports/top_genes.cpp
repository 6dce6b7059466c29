#include "reports/top_genes.hpp"

#include <algorithm>
#include <cmath>

#include "reports/svg_canvas.hpp"

namespace trelba {

std::vector<const PlotPoint*> TopGenes(const FigureInput& input) {
  std::vector<const PlotPoint*> top;
  if (!input.reference) {
    for (const PlotPoint& point : input.plot.most_excess()) top.push_back(&point);
    return top;
  }
  for (const PlotPoint& point : input.plot.points()) {
    if (!std::isnan(point.adaptation)) top.push_back(&point);
  }
  const auto more = [](const PlotPoint* a, const PlotPoint* b) {
    return a->adaptation > b->adaptation ||
           (a->adaptation == b->adaptation && a->sequence < b->sequence);
  };
  const std::size_t kept = std::min(top.size(), kTopGenes);
  std::partial_sort(top.begin(), top.begin() + static_cast<std::ptrdiff_t>(kept), top.end(), more);
  top.resize(kept);
  return top;
}

void AppendTopGenesTable(std::string& out, const FigureInput& input, const TopColumn& x,
                         const TopColumn& y) {
  const TopColumn rank = input.reference ? TopColumn{&PlotPoint::adaptation, "adaptation", 3}
                                         : TopColumn{&PlotPoint::excess, "excess", 3};
  const bool ranked_apart = rank.name != x.name && rank.name != y.name;
  const std::vector<const PlotPoint*> genes = TopGenes(input);
  out += "<table class=\"top-genes\"><caption>The genes of most ";
  out += rank.name;
  if (input.reference && input.plot.stride() > 1) {
    out += " of every " + Ordinal(input.plot.stride()) + " gene";
  }
  out += "</caption><tr><th>#</th><th>gene</th><th>";
  AppendHtmlText(out, x.name);
  out += "</th><th>";
  AppendHtmlText(out, y.name);
  out += "</th>";
  if (ranked_apart) out += "<th>" + std::string(rank.name) + "</th>";
  out += "</tr>";
  for (std::size_t i = 0; i < genes.size(); ++i) {
    const PlotPoint& gene = *genes[i];
    out += "<tr><td>" + std::to_string(i + 1) + "</td><td class=\"id\">";
    AppendHtmlText(out, gene.Id());
    if (gene.id_cut) out += "\u2026";
    for (const TopColumn* column : {&x, &y, &rank}) {
      if (column == &rank && !ranked_apart) break;
      out += "</td><td>";
      out += Number(gene.*(column->value), column->decimals);
    }
    out += "</td></tr>";
  }
  if (genes.empty()) out += "<tr><td colspan=\"4\">no gene has a value</td></tr>";
  out += "</table>";
}

}  // namespace trelba
