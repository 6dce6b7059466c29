#include "driver/coa_page.hpp"

namespace trelba {

CoaPlot CoaPlotOf(const CoaColumns& columns, const CoaResult& result,
                  const SynonymousCodons& synonymous) {
  static constexpr std::string_view kKinds[] = {"codons", "rscu", "aa"};
  CoaPlot plot;
  plot.kind = kKinds[static_cast<std::size_t>(columns.kind)];
  plot.inertia_share = {result.inertia_share[0], result.inertia_share[1]};
  plot.columns.reserve(columns.count);
  for (std::size_t j = 0; j < columns.count && j < result.principal.size(); ++j) {
    const int codon = columns.codons[columns.first[j]];
    CoaColumn& column = plot.columns.emplace_back();
    if (columns.kind == CoaKind::kAminoAcids) {
      column.label = kFamilyNames[synonymous.acid_of[static_cast<std::size_t>(codon)]];
    } else {
      column.label = CodonName(codon);
      column.third = (codon - 1) % 4;
    }
    column.x = result.principal[j][0];
    column.y = result.principal[j][1];
  }
  return plot;
}

}  // namespace trelba
