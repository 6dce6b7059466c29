#include "reports/table_report.hpp"

#include <charconv>
#include <cmath>

#include "analysis/coding_checks.hpp"
#include "numeric/number_format.hpp"

namespace trelba {
namespace {

constexpr std::string_view kNotAvailable = "NA";

bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7f;
}

char* WriteNotAvailable(char* p) {
  for (char c : kNotAvailable) *p++ = c;
  return p;
}

char* WriteInteger(char* p, std::uint64_t value) {
  if (value < 10) {  // most counts of stops, partial letters and codons
    *p = static_cast<char>('0' + value);
    return p + 1;
  }
  return std::to_chars(p, p + kMaxNumberText, value).ptr;
}

void AppendTab(OutputBuffer& out) {
  out.Append("\t");
}

}  // namespace

char* WriteNumberOrNa(char* p, double value) {
  return std::isnan(value) ? WriteNotAvailable(p) : FormatDouble(p, value);
}

void AppendNumberField(OutputBuffer& out, double value) {
  char* p = out.Reserve(kMaxNumberText + 1);
  *p++ = '\t';
  out.Commit(WriteNumberOrNa(p, value));
}

void AppendCountField(OutputBuffer& out, std::uint64_t count) {
  char* p = out.Reserve(kMaxNumberText + 1);
  *p++ = '\t';
  out.Commit(WriteInteger(p, count));
}

std::size_t Utf8Length(const unsigned char* p, const unsigned char* end) {
  const unsigned char lead = *p;
  std::size_t size = 0;
  unsigned char low = 0x80, high = 0xbf;  // the range of the second byte
  if (lead >= 0xc2 && lead <= 0xdf) {
    size = 2;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    size = 3;
    if (lead == 0xe0) low = 0xa0;
    if (lead == 0xed) high = 0x9f;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    size = 4;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;
  } else {
    return 0;
  }
  if (static_cast<std::size_t>(end - p) < size || p[1] < low || p[1] > high) return 0;
  for (std::size_t i = 2; i < size; ++i) {
    if (p[i] < 0x80 || p[i] > 0xbf) return 0;
  }
  return size;
}

void AppendTableText(OutputBuffer& out, std::string_view text) {
  const bool quoted = text.find('"') != std::string_view::npos;
  if (quoted) out.Append("\"");
  const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = begin + text.size();
  const auto* start = begin;  // of the bytes not yet appended, which stand as they are
  auto flush = [&](const unsigned char* upto) {
    out.Append(std::string_view(reinterpret_cast<const char*>(start),
                                static_cast<std::size_t>(upto - start)));
  };
  for (const auto* p = begin; p != end;) {
    const unsigned char byte = *p;
    if (byte < 0x80 && !IsControl(byte) && byte != '"') {
      ++p;
      continue;
    }
    if (byte == '"') {
      flush(p + 1);
      out.Append("\"");  // doubled
      start = ++p;
      continue;
    }
    const std::size_t size = byte < 0x80 ? 0 : Utf8Length(p, end);
    if (size != 0) {
      p += size;
      continue;
    }
    flush(p);
    out.Append(std::string_view(&kTextReplacement, 1));
    start = ++p;
  }
  flush(end);
  if (quoted) out.Append("\"");
}

void WriteTableHeader(OutputBuffer& out, const TableLayout& layout) {
  out.Append(HeaderRow(TableCatalog(), layout));
}

ColumnKind TableColumnKind(std::string_view name) {
  const bool codon = CodonIndexOfName(name) >= 1;
  bool family = false;
  for (int f = 1; f <= kFamilyCount; ++f)
    family = family || kFamilyNames[static_cast<std::size_t>(f)] == name;
  for (const ColumnEntry& column : TableCatalog()) {
    const bool named = column.shape == ColumnShape::kSingle   ? column.name == name
                       : column.shape == ColumnShape::kCodons ? codon
                                                              : family;
    if (!named) continue;
    if (column.type == "text") return ColumnKind::kText;
    return column.type == "number" ? ColumnKind::kNumber : ColumnKind::kWholeNumber;
  }
  return ColumnKind::kNumber;
}

void WriteTableRow(OutputBuffer& out, const GeneticCode& code, const TableLayout& layout,
                   const TableRow& row) {
  // codons, score, families, expected, excess, checks
  constexpr std::size_t kMaxNumbers = 2 + kFamilyCount + 2 + 4;
  constexpr std::size_t kMaxRest = kMaxNumbers * (kMaxNumberText + 1) + 1;

  if (layout.file) {
    AppendTableText(out, row.file);
    AppendTab(out);
  }
  char* p = out.Reserve(kMaxNumberText + 1);
  p = WriteInteger(p, row.number);
  *p++ = '\t';
  out.Commit(p);
  AppendTableText(out, row.id);

  const CodingChecks& checks = row.checks;
  const SequenceAnalysis& analysis = row.analysis;
  p = out.Reserve(kMaxRest);
  *p++ = '\t';
  p = WriteInteger(p, checks.codons);
  *p++ = '\t';
  p = WriteNumberOrNa(p, analysis.score);
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (f == kStopFamily) continue;
    *p++ = '\t';
    const bool available = code.divisor[f] != 0 && analysis.totals[f] != 0.0;
    p = available ? CopyOrderText(p, row.order, f) : WriteNotAvailable(p);
  }
  *p++ = '\t';
  p = WriteNumberOrNa(p, row.expected);
  *p++ = '\t';
  p = WriteNumberOrNa(p, analysis.score - row.expected);
  *p++ = '\t';
  p = WriteNumberOrNa(p, GcContent(checks));
  *p++ = '\t';
  p = WriteNumberOrNa(p, Gc3Content(checks));
  *p++ = '\t';
  p = WriteInteger(p, checks.internal_stops);
  *p++ = '\t';
  p = WriteInteger(p, row.facts.partial_letters);
  out.Commit(p);
  if (layout.counts) {
    for (std::size_t c = 1; c <= kCodonCount; ++c) {
      p = out.Reserve(kMaxNumberText + 1);
      *p++ = '\t';
      out.Commit(WriteInteger(p, row.counts[c]));
    }
  }
  if (layout.description) {
    AppendTab(out);
    AppendTableText(out, row.facts.description);
  }
  p = out.Reserve(3 * (kMaxNumberText + 1) + 1);
  *p++ = '\t';
  p = WriteNumberOrNa(p, row.enc);
  *p++ = '\t';
  p = WriteNumberOrNa(p, Gc3s(checks.thirds));
  *p++ = '\t';
  p = WriteNumberOrNa(p, row.excess_z);
  *p++ = '\n';
  out.Commit(p);
}

}  // namespace trelba
