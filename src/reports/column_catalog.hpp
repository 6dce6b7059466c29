// Every column of the table and of the summary, in the order they are written: its name,
// what it holds, its type and when it is NA. The header rows, the manual page's TABLE
// and SUMMARY sections and README's column reference are all written from these lists.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace trelba {

// Which runs have a column.
enum class ColumnPresence {
  kAlways,
  kFile,         // --file-column, or several inputs
  kCounts,       // --counts
  kDescription,  // --description
  kReference,    // --reference
};

// A column, or a group of columns named alike.
enum class ColumnShape {
  kSingle,
  kFamilies,  // one per family but the stop family, named by amino acid: Phe ... Gly
  kCodons,    // one per codon, named TTT ... GGG
};

struct ColumnEntry {
  std::string_view name;  // of a group: how the manual names it
  ColumnPresence presence;
  std::string_view type;     // "integer", "number", "text" or "0 or 1"
  std::string_view meaning;  // one sentence or a few words, no markup
  std::string_view missing;  // when it is NA; empty when never
  ColumnShape shape = ColumnShape::kSingle;
};

// Which optional columns a table has.
struct TableLayout {
  bool file = false;         // a first column naming the input
  bool counts = false;       // the 64 codon counts
  bool description = false;  // the header after its first word
  bool reference = false;    // the indices against a reference set
};

std::span<const ColumnEntry> TableCatalog();
std::span<const ColumnEntry> SummaryCatalog();
std::span<const ColumnEntry> CodonUsageCatalog();

// Whether a run laid out as `layout` has `column`.
bool HasColumn(const ColumnEntry& column, const TableLayout& layout);

// The header row (with its line end) of the columns `layout` has.
std::string HeaderRow(std::span<const ColumnEntry> columns, const TableLayout& layout);

}  // namespace trelba
