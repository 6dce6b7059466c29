// The table of results: one tab-separated row per sequence, named by its identifier.
//
//   [file]  seq  id  codons  score  Phe Leu Ser Tyr Cys Trp Pro His Gln Arg Ile Met Thr Asn
//   Lys Val Ala Asp Glu Gly  expected  excess  gc  gc3  internal_stops  partial
//   [TTT ... GGG]  [description]
//
// `file` (with several inputs, or when asked) names the input; `seq` is the sequence
// number (the number of the `sequence#` label of the count report), `id` the header's
// first word, `codons` the codons counted, then the score and the order value of every
// family but the stop family, with the reports' six significant digits; `expected` the
// expected score under the run's background and `excess` the score less it; `gc` and `gc3`
// the G and C of the counted codons, overall and third; `internal_stops` the stop codons
// before the last codon; `partial` the letters after the last whole triple; with counts
// asked for, the 64 counts of the count report; with descriptions, the rest of the header.
// "NA" stands where there is no number: a score that is not a number, a family with no
// codon in the sequence, a family with a single codon under the chosen code, GC without
// codons.
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
#include "reports/order_texts.hpp"
#include "reports/output_buffer.hpp"
#include "trelba/tables.hpp"
#include "trelba/trelba.hpp"

namespace trelba {

// What stands in the table for a byte of a text that would break a line or a terminal
// (control characters), or that is not UTF-8.
inline constexpr char kTextReplacement = '?';

// Which columns beyond the fixed ones the table has.
struct TableLayout {
  bool file = false;         // a first column naming the input
  bool counts = false;       // the 64 codon counts
  bool description = false;  // the header after its first word
};

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

}  // namespace trelba
