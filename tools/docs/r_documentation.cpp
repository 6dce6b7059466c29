#include "r_documentation.hpp"

#include <optional>

#include "reports/column_catalog.hpp"

namespace trelba {
namespace {

// The vector type a column of the type becomes in the data frame.
std::string_view RType(ColumnType type) {
  switch (type) {
    case ColumnType::kText:
      return "character";
    case ColumnType::kNumber:
      return "double";
    case ColumnType::kInteger:
    case ColumnType::kFlag:
      return "integer (double beyond 32 bits)";
  }
  return "";
}

// Which calls give the group's columns, in the arguments' words; nothing for the groups the
// package's arguments do not ask for (--columns).
std::optional<std::string_view> RCondition(ColumnGroup group) {
  switch (group) {
    case ColumnGroup::kCore:
      return "";
    case ColumnGroup::kFile:
      return "with several files";
    case ColumnGroup::kCounts:
      return "with counts = TRUE";
    case ColumnGroup::kDescription:
      return "with description = TRUE";
    case ColumnGroup::kReference:
      return "with a reference";
    case ColumnGroup::kComposition:
    case ColumnGroup::kCompositionReference:
    case ColumnGroup::kDinucleotides:
    case ColumnGroup::kRscu:
    case ColumnGroup::kAminoAcids:
    case ColumnGroup::kInputsCoa:
      return std::nullopt;
    case ColumnGroup::kTrna:
      return "with trna";
    case ColumnGroup::kCoa:
      return "with coa";
    case ColumnGroup::kLeftOut:
      return "with cds_only or min_codons";
  }
  return std::nullopt;
}

}  // namespace

std::string RdText(std::string_view text) {
  std::string rd;
  for (const char c : text) {
    if (c == '\\' || c == '%' || c == '{' || c == '}') rd += '\\';
    if (c == '-' && !rd.empty() && rd.back() == '-') rd += "{}";  // not an en dash
    rd += c;
  }
  return rd;
}

std::string TableColumnsRd() {
  std::string text = "\\describe{\n";
  for (const ColumnEntry& column : TableCatalog()) {
    const std::optional<std::string_view> condition = RCondition(column.group);
    if (!condition) continue;
    const std::string_view when = *condition;
    std::string item = std::string(RType(column.type)) + ": " + std::string(column.meaning);
    if (column.type == ColumnType::kFlag) item += " (0 or 1)";
    if (!when.empty()) item += "; only " + std::string(when);
    if (!column.missing.empty()) item += "; NA when " + std::string(column.missing);
    text += "  \\item{\\code{" + RdText(column.name) + "}}{" + RdText(item) + ".}\n";
  }
  return text + "}\n";
}

}  // namespace trelba
