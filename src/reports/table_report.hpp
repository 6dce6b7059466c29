// The table of results: one tab-separated row per sequence, named by its identifier.
//
//   seq  id  codons  score  Phe Leu Ser Tyr Cys Trp Pro His Gln Arg Ile Met Thr Asn Lys
//   Val Ala Asp Glu Gly
//
// `seq` is the sequence number (the number of the `sequence#` label of the count report),
// `id` the header's first word, `codons` the codons counted, then the score and the order
// value of every family but the stop family, with the reports' six significant digits.
// "NA" stands where there is no number: a score that is not a number, a family with no
// codon in the sequence, a family with a single codon under the chosen code.
#pragma once

#include <string_view>

#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "reports/order_texts.hpp"
#include "reports/output_buffer.hpp"
#include "trelba/tables.hpp"

namespace trelba {

// What stands in the table for a byte of an identifier that would break a line or a
// terminal (control characters).
inline constexpr char kIdReplacement = '?';

void WriteTableHeader(OutputBuffer& out);

void WriteTableRow(OutputBuffer& out, const GeneticCode& code, SequenceNumber number,
                   std::string_view id, const CodonCounts& counts,
                   const SequenceAnalysis& analysis, const OrderTexts& order);

}  // namespace trelba
