#include "reports/codon_usage_report.hpp"

#include <limits>

#include "analysis/relative_usage.hpp"

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

}  // namespace

void WriteCodonUsageRows(OutputBuffer& out, const TableLayout& layout, std::string_view file,
                         const SynonymousCodons& synonymous, const CodonCounts& pooled,
                         const ReferenceUsage* usage, bool optimal_known, std::string_view contrast,
                         const CoaColumns* coa_columns, const CoaResult* coa) {
  CodonValues rscu;
  CodonRscu(synonymous, pooled, rscu);
  std::uint64_t codons = 0;
  for (std::size_t c = 1; c <= kCodonCount; ++c) codons += pooled[c];
  CodonUsageCells cells;
  cells.file = file;
  cells.coa.fill(kNotANumber);
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    const std::uint8_t acid = synonymous.acid_of[c];
    cells.codon = static_cast<int>(c);
    cells.amino_acid = acid == 0 ? std::string_view("stop") : kFamilyNames[acid];
    cells.count = pooled[c];
    cells.per_thousand = codons == 0
                             ? kNotANumber
                             : static_cast<double>(pooled[c]) * 1000 / static_cast<double>(codons);
    cells.rscu = rscu[c];
    if (usage != nullptr) {
      cells.w = usage->in_cai[c] ? usage->w[c] : kNotANumber;
      cells.optimal = !optimal_known ? -1 : usage->optimal[c] ? 1 : 0;
      cells.contrast = contrast;
    }
    if (coa != nullptr) cells.coa = CodonCoordinates(*coa_columns, *coa, static_cast<int>(c));
    WriteCodonUsageCells(out, layout, cells);
  }
}

}  // namespace trelba
