// A catalog's entries and the one walk over them that writes both the header row and every
// row, so that the two cannot disagree. The walk is unrolled at compile time: each present
// column's writer is called directly, as a hand-written row would call it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "reports/cell_text.hpp"
#include "reports/column_catalog.hpp"

namespace trelba {

// A column of an output whose rows are written from `Cells`: its entry, and either the
// writer of its cells (numbers, counts, or texts that need no escaping: tab-separated, at
// most kMaxCellText bytes each) or its text (written as AppendTableText writes it).
template <class Cells>
struct CatalogColumn {
  ColumnEntry entry;
  char* (*write)(char* p, const Cells& cells) = nullptr;
  std::string_view (*text)(const Cells& cells) = nullptr;
  // Written for an input that failed too (the summary); NA otherwise.
  bool when_failed = false;
};

// Calls `visit(std::integral_constant<std::size_t, I>())` for each column kColumns[I] that
// `layout` has, in order: the visitor knows its column at compile time.
template <const auto& kColumns, class Visit>
inline void WalkColumns(const TableLayout& layout, Visit&& visit) {
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    ((layout.Has(kColumns[I].entry.group) ? visit(std::integral_constant<std::size_t, I>())
                                          : void()),
     ...);
  }
  (std::make_index_sequence<std::size(kColumns)>());
}

// The room any row's cells of `kColumns` take, separators and line end included.
template <const auto& kColumns>
constexpr std::size_t RowRoom() {
  std::size_t room = 1;
  for (const auto& column : kColumns) room += CellCount(column.entry.shape) * (kMaxCellText + 1);
  return room;
}

// Appends the header cells of `kColumns` that `layout` has to `row`, each after a tab but
// the row's first.
template <const auto& kColumns>
void AppendHeaderCells(std::string& row, const TableLayout& layout) {
  const auto append = [&](std::string_view name) {
    if (!row.empty()) row += '\t';
    row += name;
  };
  WalkColumns<kColumns>(layout, [&](auto i) {
    for (const std::string& name : CellNames(kColumns[decltype(i)::value].entry)) append(name);
  });
}

// Writes the cells of `kColumns` that `layout` has, each after a tab but the row's first
// when `kFirst`, then the line end when `kLineEnd`.
template <const auto& kColumns, bool kFirst, bool kLineEnd, class Cells>
void WriteRowCells(OutputBuffer& out, const TableLayout& layout, const Cells& cells) {
  constexpr std::size_t kRoom = RowRoom<kColumns>();
  char* p = out.Reserve(kRoom);
  bool first = kFirst;
  WalkColumns<kColumns>(
      layout, [&](auto i) __attribute__((always_inline)) {
        constexpr const auto& column = kColumns[decltype(i)::value];
        if (!first) *p++ = '\t';
        first = false;
        if constexpr (column.text != nullptr) {
          out.Commit(p);
          AppendTableText(out, column.text(cells));
          p = out.Reserve(kRoom);
        } else {
          p = column.write(p, cells);
        }
      });
  if constexpr (kLineEnd) *p++ = '\n';
  out.Commit(p);
}

// The row of an input that failed, with its line end: each cell of a column not
// `when_failed` is NA.
template <const auto& kColumns, class Cells>
void WriteFailedRowCells(OutputBuffer& out, const TableLayout& layout, const Cells& cells) {
  bool first = true;
  WalkColumns<kColumns>(layout, [&](auto i) {
    constexpr const auto& column = kColumns[decltype(i)::value];
    if (!first) out.Append("\t");
    first = false;
    if constexpr (!column.when_failed) {
      for (std::size_t cell = 0; cell < CellCount(column.entry.shape); ++cell) {
        out.Append(cell == 0 ? "NA" : "\tNA");
      }
    } else if constexpr (column.text != nullptr) {
      AppendTableText(out, column.text(cells));
    } else {
      out.Commit(column.write(out.Reserve(RowRoom<kColumns>()), cells));
    }
  });
  out.Append("\n");
}

}  // namespace trelba
