#include "reports/summary_report.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "numeric/number_format.hpp"
#include "reports/column_catalog.hpp"
#include "reports/table_report.hpp"

namespace trelba {
namespace {}  // namespace

void WriteSummaryHeader(OutputBuffer& out, const TableLayout& layout) {
  out.Append(HeaderRow(SummaryCatalog(), layout));
}

void WriteSummaryRow(OutputBuffer& out, const SummaryRow& row, const TableLayout& layout) {
  AppendTableText(out, row.file);
  if (!row.error.empty()) {
    // NA in every column after the status, but the message.
    out.Append("\terror");
    for (const ColumnEntry& column : SummaryCatalog().subspan(2)) {
      if (!HasColumn(column, layout)) continue;
      out.Append("\t");
      if (column.name == "message") {
        AppendTableText(out, row.error);
      } else {
        out.Append("NA");
      }
    }
    out.Append("\n");
    return;
  }
  out.Append("\tok");
  AppendCountField(out, row.sequences);
  AppendCountField(out, row.codons);
  for (const double value : {row.average, row.median_score, row.median_excess, row.gc, row.gc3}) {
    AppendNumberField(out, value);
  }
  for (const std::uint64_t count : {row.internal_stop_sequences, row.partial_sequences,
                                    row.comment_lines, row.inline_headers}) {
    AppendCountField(out, count);
  }
  out.Append("\t");  // the message: none
  for (const double value : {row.median_enc, row.gc3s}) AppendNumberField(out, value);
  if (layout.reference) {
    out.Append("\t");
    AppendTableText(out, row.reference);
    AppendCountField(out, row.reference_genes);
    for (const double value : {row.reference_rounds, row.reference_s, row.starts_agree,
                               row.median_cai, row.median_fop, row.median_adaptation}) {
      AppendNumberField(out, value);
    }
  }
  out.Append("\n");
}

}  // namespace trelba
