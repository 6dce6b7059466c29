#include "reports/table_report.hpp"

#include <charconv>
#include <cmath>

#include "reports/number_format.hpp"

namespace trelba {
namespace {

constexpr std::string_view kNotAvailable = "NA";

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7f;
}

// The identifier, control characters replaced.
void AppendId(OutputBuffer& out, std::string_view id) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < id.size(); ++i) {
    if (!IsControl(id[i])) continue;
    out.Append(id.substr(start, i - start));
    out.Append(std::string_view(&kIdReplacement, 1));
    start = i + 1;
  }
  out.Append(id.substr(start));
}

char* WriteNotAvailable(char* p) {
  for (char c : kNotAvailable) *p++ = c;
  return p;
}

}  // namespace

void WriteTableHeader(OutputBuffer& out) {
  out.Append("seq\tid\tcodons\tscore");
  for (int f = 1; f <= kFamilyCount; ++f) {
    if (f == kStopFamily) continue;
    out.Append("\t");
    out.Append(kFamilyNames[static_cast<std::size_t>(f)]);
  }
  out.Append("\n");
}

void WriteTableRow(OutputBuffer& out, const GeneticCode& code, SequenceNumber number,
                   std::string_view id, const CodonCounts& counts,
                   const SequenceAnalysis& analysis, const OrderTexts& order) {
  constexpr std::size_t kMaxNumbers = 2 + kFamilyCount;  // codons, score, families
  constexpr std::size_t kMaxRest = kMaxNumbers * (kMaxNumberText + 1) + 1;

  char* p = out.Reserve(kMaxNumberText + 1);
  p = std::to_chars(p, p + kMaxNumberText, number).ptr;
  *p++ = '\t';
  out.Commit(p);
  AppendId(out, id);

  std::uint64_t codons = 0;
  for (std::size_t k = 1; k <= kCodonCount; ++k) codons += counts[k];
  p = out.Reserve(kMaxRest);
  *p++ = '\t';
  p = std::to_chars(p, p + kMaxNumberText, codons).ptr;
  *p++ = '\t';
  p = std::isnan(analysis.score) ? WriteNotAvailable(p) : FormatDouble(p, analysis.score);
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (f == kStopFamily) continue;
    *p++ = '\t';
    const bool available = code.divisor[f] != 0 && analysis.totals[f] != 0.0;
    p = available ? CopyOrderText(p, order, f) : WriteNotAvailable(p);
  }
  *p++ = '\n';
  out.Commit(p);
}

}  // namespace trelba
