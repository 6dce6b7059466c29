// The summary of a run over many inputs: one tab-separated row per input, its columns
// those of SummaryCatalog() (column_catalog.hpp). An input that failed has "error" for its
// status, its error line for its message and "NA" in every other column. Rows of separate
// runs concatenate under one header.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "reports/column_catalog.hpp"
#include "reports/output_buffer.hpp"

namespace trelba {

struct SummaryRow {
  std::string_view file;
  std::string_view error;  // empty for an input read to its end
  std::uint64_t sequences = 0;
  std::uint64_t codons = 0;
  double average = 0.0;
  double median_score = 0.0;
  double median_excess = 0.0;
  double gc = 0.0;
  double gc3 = 0.0;
  std::uint64_t internal_stop_sequences = 0;
  std::uint64_t partial_sequences = 0;
  std::uint64_t comment_lines = 0;
  std::uint64_t inline_headers = 0;
  double median_enc = 0.0;
  double gc3s = 0.0;
  // With a reference set (NaN where a number does not apply):
  std::string_view reference;
  std::uint64_t reference_genes = 0;
  double reference_rounds = 0.0;
  double reference_s = 0.0;
  double starts_agree = 0.0;
  double median_cai = 0.0;
  double median_fop = 0.0;
  double median_adaptation = 0.0;
};

void WriteSummaryHeader(OutputBuffer& out, const TableLayout& layout);
void WriteSummaryRow(OutputBuffer& out, const SummaryRow& row, const TableLayout& layout);

}  // namespace trelba
