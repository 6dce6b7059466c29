#include "reports/codon_usage_report.hpp"

#include <charconv>
#include <limits>

#include "numeric/number_format.hpp"
#include "reports/column_catalog.hpp"
#include "reports/table_report.hpp"

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

}  // namespace

void WriteCodonUsageHeader(OutputBuffer& out, bool reference) {
  TableLayout layout;
  layout.reference = reference;
  out.Append(HeaderRow(CodonUsageCatalog(), layout));
}

void WriteCodonUsageRows(OutputBuffer& out, std::string_view file,
                         const SynonymousCodons& synonymous, const CodonCounts& pooled,
                         const ReferenceUsage* usage, bool own_reference) {
  // The reference's own w, for its own rows.
  const ReferenceUsage own =
      own_reference ? UsageAgainst(synonymous, pooled, pooled) : ReferenceUsage{};
  if (own_reference) usage = &own;
  // Each codon's amino acid total (the stops as one), and every codon.
  std::array<std::uint64_t, kFamilyCount + 1> acid_totals{};
  std::uint64_t codons = 0;
  std::uint8_t stops = 0;
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    acid_totals[synonymous.acid_of[c]] += pooled[c];
    codons += pooled[c];
    stops = static_cast<std::uint8_t>(stops + (synonymous.acid_of[c] == 0));
  }
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    const std::uint8_t acid = synonymous.acid_of[c];
    const std::uint64_t acid_total = acid_totals[acid];
    const double k = acid == 0 ? stops : synonymous.degeneracy[c];
    AppendTableText(out, file);
    out.Append("\t");
    out.Append(CodonName(static_cast<int>(c)));
    out.Append("\t");
    out.Append(acid == 0 ? std::string_view("stop") : kFamilyNames[acid]);
    AppendCountField(out, pooled[c]);
    AppendNumberField(
        out, codons == 0 ? kNotANumber
                         : static_cast<double>(pooled[c]) * 1000 / static_cast<double>(codons));
    AppendNumberField(out, acid_total == 0 ? kNotANumber
                                           : static_cast<double>(pooled[c]) * k /
                                                 static_cast<double>(acid_total));
    if (usage != nullptr) {
      AppendNumberField(out, usage->in_cai[c] ? usage->w[c] : kNotANumber);
      out.Append(own_reference ? "\tNA" : usage->optimal[c] ? "\t1" : "\t0");
    }
    out.Append("\n");
  }
}

}  // namespace trelba
