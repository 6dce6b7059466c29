// The codon usage (--codon-usage): one tab-separated row per input (or reference set) and
// codon, its columns those of CodonUsageCatalog() (column_catalog.hpp): the pooled count of
// every codon, its share per thousand codons, its RSCU and, against a reference, its w
// and whether it is optimal.
#pragma once

#include <string_view>

#include "analysis/correspondence_analysis.hpp"
#include "analysis/reference_usage.hpp"
#include "analysis/synonymous_codons.hpp"
#include "reports/column_catalog.hpp"
#include "reports/output_buffer.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// The 64 rows of `file`'s pooled counts, with the columns of `layout`; `usage` null
// without a reference; without `optimal_known` (the reference's own rows when its table
// could not be made) the optimal column is NA; `contrast` empty is NA; the codons'
// coordinates in the input's correspondence analysis `coa` (NA without one).
void WriteCodonUsageRows(OutputBuffer& out, const TableLayout& layout, std::string_view file,
                         const SynonymousCodons& synonymous, const CodonCounts& pooled,
                         const ReferenceUsage* usage, bool optimal_known = true,
                         std::string_view contrast = {}, const CoaColumns* coa_columns = nullptr,
                         const CoaResult* coa = nullptr);

}  // namespace trelba
