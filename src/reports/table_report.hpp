// The table of results: one tab-separated row per sequence, its columns those of
// TableCatalog() (column_catalog.hpp), with the reports' six significant digits and "NA"
// where there is no number.
//
// Text fields (file, id, description) are written so that csv readers (Python's csv,
// pandas, R's read.delim) take them as they are: control characters and bytes that are
// not UTF-8 become '?', and a field holding '"' is quoted, its quotes doubled.
#pragma once

#include <string_view>

#include "analysis/coding_checks.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "input/sequence_facts.hpp"
#include "reports/column_catalog.hpp"
#include "reports/order_texts.hpp"
#include "reports/output_buffer.hpp"
#include "trelba/codons_and_families.hpp"
#include "trelba/trelba.hpp"

namespace trelba {

// What stands in the table for a byte of a text that would break a line or a terminal
// (control characters), or that is not UTF-8.
inline constexpr char kTextReplacement = '?';

struct TableRow {
  std::string_view file;
  SequenceNumber number = 0;
  std::string_view id;
  const CodonCounts& counts;
  const SequenceFacts& facts;
  const SequenceAnalysis& analysis;
  const OrderTexts& order;
  double expected;  // the expected score; NaN without a background
  const CodingChecks& checks;
  double enc;       // the effective number of codons
  double excess_z;  // the excess over its standard deviation under the background
};

void WriteTableHeader(OutputBuffer& out, const TableLayout& layout);

// What the column `name` holds (ColumnKind: trelba/trelba.hpp).
ColumnKind TableColumnKind(std::string_view name);

void WriteTableRow(OutputBuffer& out, const GeneticCode& code, const TableLayout& layout,
                   const TableRow& row);

// The length of the well-formed UTF-8 sequence at `p` (end at `end`), 0 when there is none:
// no overlong forms, no surrogates, nothing past U+10FFFF.
std::size_t Utf8Length(const unsigned char* p, const unsigned char* end);

// `text` as the table writes a text field.
void AppendTableText(OutputBuffer& out, std::string_view text);

// A number as the table writes it at `p` ("NA" for NaN, else six significant digits); the
// end of what was written (at most kMaxNumberText bytes).
char* WriteNumberOrNa(char* p, double value);

// A tab and a number, or a tab and a count, as every tab-separated output writes them.
void AppendNumberField(OutputBuffer& out, double value);
void AppendCountField(OutputBuffer& out, std::uint64_t count);

}  // namespace trelba
