#include "reports/summary_report.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "numeric/number_format.hpp"
#include "reports/table_report.hpp"

namespace trelba {
namespace {

void AppendNumber(OutputBuffer& out, double value) {
  char* p = out.Reserve(kMaxNumberText + 1);
  *p++ = '\t';
  if (std::isnan(value)) {
    *p++ = 'N';
    *p++ = 'A';
  } else {
    p = FormatDouble(p, value);
  }
  out.Commit(p);
}

void AppendCount(OutputBuffer& out, std::uint64_t count) {
  char* p = out.Reserve(kMaxNumberText + 1);
  *p++ = '\t';
  out.Commit(std::to_chars(p, p + kMaxNumberText, count).ptr);
}

}  // namespace

void WriteSummaryHeader(OutputBuffer& out) {
  out.Append(
      "file\tstatus\tsequences\tcodons\taverage\tmedian_score\tmedian_excess\tgc\tgc3\t"
      "internal_stop_sequences\tpartial_sequences\tcomment_lines\tinline_headers\tmessage\n");
}

void WriteSummaryRow(OutputBuffer& out, const SummaryRow& row) {
  AppendTableText(out, row.file);
  if (!row.error.empty()) {
    out.Append("\terror");
    for (int i = 0; i < 11; ++i) out.Append("\tNA");
    out.Append("\t");
    AppendTableText(out, row.error);
    out.Append("\n");
    return;
  }
  out.Append("\tok");
  AppendCount(out, row.sequences);
  AppendCount(out, row.codons);
  for (const double value : {row.average, row.median_score, row.median_excess, row.gc, row.gc3}) {
    AppendNumber(out, value);
  }
  for (const std::uint64_t count : {row.internal_stop_sequences, row.partial_sequences,
                                    row.comment_lines, row.inline_headers}) {
    AppendCount(out, count);
  }
  out.Append("\t\n");
}

}  // namespace trelba
