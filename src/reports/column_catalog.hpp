// Every column of the table, the summary and the codon usage is one entry of a catalog
// (column_catalog.cpp): its name (the header cell), its group (which runs have it), its
// type, what it holds and when it is NA, and the writer of its row cell. The header rows
// and the rows are written by one walk over the entries (catalog_walk.hpp), so they
// cannot disagree; the manual page's and README's column sections, the R package's
// column documentation and the library's column kinds are made from the same entries.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "reports/output_buffer.hpp"
#include "reports/row_cells.hpp"
#include "trelba/trelba.hpp"

namespace trelba {

// Which runs have a column.
enum class ColumnGroup : std::uint8_t {
  kCore,         // every run
  kFile,         // --file-column, or several inputs
  kCounts,       // --counts
  kDescription,  // --description
  kReference,    // --reference
  // --columns: each gene's composition (with --reference, also kCompositionReference),
  // its dinucleotide ratios, its RSCU and its amino acids' shares.
  kComposition,
  kCompositionReference,
  kDinucleotides,
  kRscu,
  kAminoAcids,
  kLeftOut,    // --cds-only, --min-codons, --gff: what was left out, by reason
  kTrna,       // --trna
  kCoa,        // --coa
  kInputsCoa,  // --coa with three or more inputs
};

enum class ColumnType : std::uint8_t {
  kInteger,
  kNumber,
  kText,
  kFlag,  // 0 or 1
};

// A column, or a group of columns named alike.
enum class ColumnShape : std::uint8_t {
  kSingle,
  kFamilies,         // one per family but the stop family, named by amino acid: Phe ... Gly
  kCodons,           // one per codon, named TTT ... GGG
  kCodonRscu,        // one per codon, named rscu_TTT ... rscu_GGG
  kAminoAcidShares,  // one per amino acid (family but the stop family), aa_Phe ... aa_Gly
  kAxes,             // one per axis of a correspondence analysis, named STEM1 ... STEM4
};

// The cells a column of `shape` has.
constexpr std::size_t CellCount(ColumnShape shape) {
  switch (shape) {
    case ColumnShape::kSingle:
      return 1;
    case ColumnShape::kFamilies:
    case ColumnShape::kAminoAcidShares:
      return kFamilyCount - 1;
    case ColumnShape::kCodons:
    case ColumnShape::kCodonRscu:
      return kCodonCount;
    case ColumnShape::kAxes:
      return kCoaAxes;
  }
  return 0;
}

// What the documents and the library read of a column.
struct ColumnEntry {
  std::string_view name;  // of a group: how the manual names it
  ColumnGroup group = ColumnGroup::kCore;
  ColumnType type = ColumnType::kNumber;
  std::string_view meaning;  // one sentence or a few words, no markup
  std::string_view missing;  // when it is NA; empty when never
  ColumnShape shape = ColumnShape::kSingle;
};

// The groups of columns a run's outputs have.
class TableLayout {
 public:
  bool Has(ColumnGroup group) const {
    return group == ColumnGroup::kCore || (groups_ >> static_cast<unsigned>(group) & 1u) != 0;
  }
  TableLayout& Add(ColumnGroup group, bool added = true) {
    if (added) groups_ |= Bit(group);
    return *this;
  }
  // Whether it has any of the groups of `mask`, each group's Bit.
  bool HasAny(std::uint32_t mask) const { return (groups_ & mask) != 0; }
  static constexpr std::uint32_t Bit(ColumnGroup group) {
    return 1u << static_cast<unsigned>(group);
  }

 private:
  std::uint32_t groups_ = 0;
};

// The groups of columns --columns takes, by the names it takes them by ("counts" and
// "description" too, the groups of --counts and --description).
struct NamedGroup {
  std::string_view name;
  ColumnGroup group;
};
std::span<const NamedGroup> NamedGroups();

// The header cells of a column of `shape` named `name` ("rscu_TTT ... rscu_GGG"): `name`
// for a single column, else each cell's.
std::vector<std::string> CellNames(const ColumnEntry& column);

// The columns of each output, in order: the table's (its columns of the whole input after
// those of the sequence), the summary's and the codon usage's.
std::span<const ColumnEntry> TableCatalog();
std::span<const ColumnEntry> SummaryCatalog();
std::span<const ColumnEntry> CodonUsageCatalog();

// "integer", "number", "text" or "0 or 1".
std::string_view TypeName(ColumnType type);
// Which runs have the group's columns, as the documents say it ("with --counts"); empty for
// every run.
std::string_view GroupCondition(ColumnGroup group);

// What the table's column `name` holds, for the library's readers of the table.
ColumnKind TableColumnKind(std::string_view name);

// The table: its header row, and of each sequence the cells known as it is analysed (the
// row and its line end), then, once the input is read whole, those that need the input
// (appended where the line ends).
void WriteTableHeader(OutputBuffer& out, const TableLayout& layout);
void WriteSequenceCells(OutputBuffer& out, const TableLayout& layout, const SequenceCells& cells);
void AppendWholeInputCells(OutputBuffer& out, const TableLayout& layout,
                           const WholeInputCells& cells);
// Whether the table has columns of the groups --columns adds.
bool HasGroupCells(const TableLayout& layout);
// Whether the table has columns that wait for the whole input.
bool HasWholeInputCells(const TableLayout& layout);

// The summary's header row and an input's row (NA but its file, status and message when it
// failed); then, once every input is read, the cells that need them all (appended where
// each row's line ends).
void WriteSummaryHeader(OutputBuffer& out, const TableLayout& layout);
void WriteSummaryCells(OutputBuffer& out, const TableLayout& layout, const SummaryCells& cells);
void AppendWholeRunCells(OutputBuffer& out, const TableLayout& layout, const WholeRunCells& cells);
// Whether the summary has columns that wait for every input.
bool HasWholeRunCells(const TableLayout& layout);

// The codon usage's header row and one codon's row.
void WriteCodonUsageHeader(OutputBuffer& out, const TableLayout& layout);
void WriteCodonUsageCells(OutputBuffer& out, const TableLayout& layout,
                          const CodonUsageCells& cells);

}  // namespace trelba
