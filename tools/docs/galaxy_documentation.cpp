#include "galaxy_documentation.hpp"

#include <cctype>
#include <optional>
#include <span>

#include "reports/column_catalog.hpp"

namespace trelba {
namespace {

// When the tool's outputs have the group's columns, in the words of its form; none for a
// group the form cannot ask for (its columns are left out of the help).
std::optional<std::string_view> GalaxyCondition(ColumnGroup group) {
  switch (group) {
    case ColumnGroup::kCore:
    case ColumnGroup::kFile:
      return "";
    case ColumnGroup::kCounts:
      return "with the column group counts";
    case ColumnGroup::kDescription:
      return "with the column group description";
    case ColumnGroup::kReference:
      return "with a reference set";
    case ColumnGroup::kComposition:
      return "with the column group composition";
    case ColumnGroup::kCompositionReference:
      return "with the column group composition and a reference set";
    case ColumnGroup::kDinucleotides:
      return "with the column group dinucleotides";
    case ColumnGroup::kRscu:
      return "with the column group rscu";
    case ColumnGroup::kAminoAcids:
      return "with the column group aa";
    case ColumnGroup::kLeftOut:
    case ColumnGroup::kTrna:
    case ColumnGroup::kCoa:
    case ColumnGroup::kInputsCoa:
      return std::nullopt;
  }
  return std::nullopt;
}

// `text` begun with a capital and ended with a full stop.
std::string Sentence(std::string_view text) {
  std::string sentence(text);
  if (!sentence.empty()) {
    sentence[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(sentence[0])));
    if (std::string_view(".?!").find(sentence.back()) == std::string_view::npos) sentence += '.';
  }
  return sentence;
}

// A bullet list of the columns, begun and ended by an empty line (the block's marker lines
// are comments, which must stand apart from the text).
std::string ColumnsGalaxy(std::span<const ColumnEntry> columns) {
  std::string text = "\n";
  for (const ColumnEntry& column : columns) {
    const std::optional<std::string_view> when = GalaxyCondition(column.group);
    if (!when) continue;
    std::string item = Sentence(column.meaning);
    if (!when->empty()) item += " Only " + std::string(*when) + ".";
    if (!column.missing.empty()) item += " NA when " + std::string(column.missing) + ".";
    text += "- ``" + std::string(column.name) + "`` (" + std::string(TypeName(column.type)) +
            "): " + RstText(item) + "\n";
  }
  return text + "\n";
}

}  // namespace

std::string RstText(std::string_view text) {
  std::string rst;
  for (const char c : text) {
    if (std::string_view("\\*`_|").find(c) != std::string_view::npos) rst += '\\';
    rst += c;
  }
  return rst;
}

std::string TableColumnsGalaxy() {
  return ColumnsGalaxy(TableCatalog());
}

std::string SummaryColumnsGalaxy() {
  return ColumnsGalaxy(SummaryCatalog());
}

std::string CodonUsageColumnsGalaxy() {
  return ColumnsGalaxy(CodonUsageCatalog());
}

}  // namespace trelba
