#include "reports/column_catalog.hpp"

#include <array>

#include "trelba/codons_and_families.hpp"

namespace trelba {
namespace {

using enum ColumnPresence;

constexpr std::string_view kNoCodon = "no codon was counted";

constexpr ColumnEntry kTableColumns[] = {
    {"file", kFile, "text", "the input as it was given (standard input: -, or --label)", ""},
    {"seq", kAlways, "integer",
     "the sequence's number in the input, as in the count report's sequence# labels", ""},
    {"id", kAlways, "text", "the header's first word: the text after > up to the first blank", ""},
    {"codons", kAlways, "integer", "codons counted: whole triples of T, C, A and G", ""},
    {"score", kAlways, "number",
     "the order values of the sequence's families weighted by their shares of its codons, as "
     "in the score report (listed here whatever its sign)",
     "no codon falls in a family of two or more codons"},
    {"Phe ... Gly", kAlways, "number",
     "each family's order value 1 - H / ln k, as in the family order report: 0 when its codons "
     "are used evenly, 1 when one codon only is used",
     "no codon of the family was counted, or the family has one codon under the code",
     ColumnShape::kFamilies},
    {"expected", kAlways, "number",
     "the exact mean score of a sequence with the same amino acids whose codons are drawn from "
     "the background (--background)",
     "the score is NA"},
    {"excess", kAlways, "number",
     "score - expected: how much more unevenly the sequence uses its codons than chance would, "
     "comparable across lengths",
     "the score is NA"},
    {"gc", kAlways, "number", "the share of G and C among the counted codons' bases", kNoCodon},
    {"gc3", kAlways, "number", "the share of G and C at the counted codons' third positions",
     kNoCodon},
    {"internal_stops", kAlways, "integer", "stop codons before the last codon", ""},
    {"partial", kAlways, "integer", "letters after the last whole triple (0, 1 or 2)", ""},
    {"TTT ... GGG", kCounts, "integer", "the 64 codon counts, as in the count report", "",
     ColumnShape::kCodons},
    {"description", kDescription, "text", "the rest of the header after its first word", ""},
    {"enc", kAlways, "number",
     "the effective number of codons (Wright 1990): from 20 when each amino acid uses one "
     "codon to the number of sense codons (61 in the standard code) when all are used evenly",
     "a class of amino acids of the same number of codons has none used twice or more (the "
     "three-codon class takes the mean of the two- and four-codon classes)"},
    {"gc3s", kAlways, "number",
     "the share of G and C at the third positions of codons of amino acids with two or more "
     "codons, stops left out",
     "there is no such codon"},
    {"excess_z", kAlways, "number",
     "how far the excess is from chance: the excess over the standard deviation of the score "
     "of a sequence of the same amino acids whose codons are drawn from the background "
     "(exact); for flagging a gene, not for ranking (it grows with the square root of "
     "length); the score's distribution is skewed, its upper tail a little heavier",
     "the excess is NA, or the score cannot vary (no family with a choice)"},
    {"cai", kReference, "number",
     "the codon adaptation index (Sharp & Li 1987) against the reference set: the geometric "
     "mean of the relative adaptiveness w of the sequence's codons",
     "no codon of an amino acid the reference holds (of two or more codons)"},
    {"fop", kReference, "number",
     "the frequency of optimal codons (Ikemura 1981): the sequence's optimal codons over its "
     "codons of the amino acids that have one",
     "no codon of an amino acid that has an optimal codon"},
    {"adaptation", kReference, "number",
     "the log-odds per codon of the sequence's codons under the reference's usage against the "
     "input's: above 0 for a gene that prefers the reference's codons; the column to rank by",
     "no codon of an amino acid of two or more codons"},
    {"adaptation_z", kReference, "number",
     "how far adaptation is from chance, in standard deviations: each codon drawn from the "
     "input's usage of its amino acid",
     "the null variance is 0 (no amino acid with a choice)"},
    {"in_reference", kReference, "0 or 1",
     "1 for the genes of the reference set found in the input (--reference auto), else 0", ""},
};

constexpr std::string_view kFailedInput = "the input failed";

constexpr ColumnEntry kSummaryColumns[] = {
    {"file", kAlways, "text", "the input as it was given (standard input: -, or --label)", ""},
    {"status", kAlways, "text", "ok, or error when the input could not be read to its end", ""},
    {"sequences", kAlways, "integer", "sequences (header lines) read", kFailedInput},
    {"codons", kAlways, "integer", "codons counted in all of them", kFailedInput},
    {"average", kAlways, "number",
     "the average of the positive scores, as on the score report's last line",
     "the input failed, or no score is positive"},
    {"median_score", kAlways, "number", "the median of the scores that are numbers",
     "the input failed, or no score is a number"},
    {"median_excess", kAlways, "number", "the median of the excesses that are numbers",
     "the input failed, or no excess is a number"},
    {"gc", kAlways, "number", "the share of G and C among the bases of all counted codons",
     "the input failed, or no codon was counted"},
    {"gc3", kAlways, "number", "the share of G and C at the third positions of all counted codons",
     "the input failed, or no codon was counted"},
    {"internal_stop_sequences", kAlways, "integer",
     "sequences with stop codons before their last codon", kFailedInput},
    {"partial_sequences", kAlways, "integer", "sequences whose length is not a multiple of 3",
     kFailedInput},
    {"comment_lines", kAlways, "integer", "lines starting with ';', read as sequence letters",
     kFailedInput},
    {"inline_headers", kAlways, "integer", "'>' characters inside a line, each starting a sequence",
     kFailedInput},
    {"message", kAlways, "text", "the error line when the input failed, else empty", ""},
    {"median_enc", kAlways, "number", "the median of the sequences' effective numbers of codons",
     "the input failed, or no ENC is a number"},
    {"gc3s", kAlways, "number",
     "the share of G and C at the third positions of all synonymous codons (those of amino "
     "acids with two or more codons, stops left out)",
     "the input failed, or there is no such codon"},
    {"reference", kReference, "text",
     "the reference set: the file given, or auto:A or auto:B for the set found in the input "
     "from the start that was chosen",
     ""},
    {"reference_genes", kReference, "integer", "the genes of the reference set", kFailedInput},
    {"reference_rounds", kReference, "integer",
     "the rounds the search for the reference set took (auto)", "a reference file was given"},
    {"reference_s", kReference, "number",
     "the sign statistic of the reference: sum over Phe, Tyr, Ile and Asn of ln((R_C / R_T) / "
     "(N_C / N_T)), positive when the reference prefers the C-ending codons more than the "
     "input does, as highly expressed genes do",
     "the code has none of those amino acids with C- and T-ending codons"},
    {"starts_agree", kReference, "number",
     "the share of genes the references found from the two starts have in common (auto)",
     "a reference file was given"},
    {"median_cai", kReference, "number", "the median CAI of the input's sequences",
     "the input failed, or no CAI is a number"},
    {"median_fop", kReference, "number", "the median Fop of the input's sequences",
     "the input failed, or no Fop is a number"},
    {"median_adaptation", kReference, "number", "the median adaptation of the input's sequences",
     "the input failed, or no adaptation is a number"},
};

constexpr ColumnEntry kCodonUsageColumns[] = {
    {"file", kAlways, "text", "the input, or the reference file, as it was given", ""},
    {"codon", kAlways, "text", "the codon, TTT to GGG", ""},
    {"amino_acid", kAlways, "text",
     "its amino acid under the code's NCBI table (Phe ... Gly), or stop", ""},
    {"count", kAlways, "integer", "how often the codon was counted in all the sequences", ""},
    {"per_thousand", kAlways, "number", "count per 1,000 counted codons", "no codon was counted"},
    {"rscu", kAlways, "number",
     "relative synonymous codon usage: count times the amino acid's number of codons over the "
     "amino acid's count (1 for even use)",
     "no codon of the amino acid was counted"},
    {"w", kReference, "number", "the codon's relative adaptiveness in the reference set (CAI)",
     "the codon is a stop, its amino acid's only codon, or of an amino acid the reference "
     "lacks"},
    {"optimal", kReference, "0 or 1", "1 for an optimal codon (Fop)", ""},
};

// The names of a column group, in order.
void AppendNames(std::string& row, const ColumnEntry& column) {
  const auto append = [&](std::string_view name) {
    if (!row.empty()) row += '\t';
    row += name;
  };
  switch (column.shape) {
    case ColumnShape::kSingle:
      append(column.name);
      return;
    case ColumnShape::kFamilies:
      for (int f = 1; f <= kFamilyCount; ++f) {
        if (f != kStopFamily) append(kFamilyNames[static_cast<std::size_t>(f)]);
      }
      return;
    case ColumnShape::kCodons:
      for (int c = 1; c <= kCodonCount; ++c) append(CodonName(c));
      return;
  }
}

}  // namespace

std::span<const ColumnEntry> TableCatalog() {
  return kTableColumns;
}

std::span<const ColumnEntry> SummaryCatalog() {
  return kSummaryColumns;
}

std::span<const ColumnEntry> CodonUsageCatalog() {
  return kCodonUsageColumns;
}

bool HasColumn(const ColumnEntry& column, const TableLayout& layout) {
  switch (column.presence) {
    case kAlways:
      return true;
    case kFile:
      return layout.file;
    case kCounts:
      return layout.counts;
    case kDescription:
      return layout.description;
    case kReference:
      return layout.reference;
  }
  return false;
}

std::string HeaderRow(std::span<const ColumnEntry> columns, const TableLayout& layout) {
  std::string row;
  for (const ColumnEntry& column : columns) {
    if (HasColumn(column, layout)) AppendNames(row, column);
  }
  return row + '\n';
}

}  // namespace trelba
