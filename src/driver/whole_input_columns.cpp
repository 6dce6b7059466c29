#include "driver/whole_input_columns.hpp"

#include <optional>

namespace trelba {

bool AddWholeInputColumns(const TableLayout& layout, InputTotals& totals, StagedSink* staged,
                          OutputBuffer* table, const WholeInputSources& sources) {
  GeneCountStore::Reader genes(*totals.store);
  std::uint64_t sequence = 0;
  // The next sequence's cells.
  const auto next = [&]() -> std::optional<WholeInputCells> {
    CodonCounts counts;
    std::uint8_t marks = 0;
    WholeInputCells cells;
    if (!genes.Next(counts, marks, cells.excess_p)) return std::nullopt;
    if (sources.reference != nullptr) {
      AddReferenceCells(*sources.reference, counts, marks, sequence, sources.plot, table != nullptr,
                        cells);
    }
    if (sources.coa != nullptr) {
      cells.coa = GeneCoordinates(*sources.coa_columns, *sources.coa, counts);
      if (sources.plot != nullptr) {
        sources.plot->AddCoaValues(sequence + 1, cells.coa[0], cells.coa[1]);  // numbered from 1
      }
    }
    ++sequence;
    return cells;
  };
  bool released = true;
  if (table != nullptr) {
    released = staged->ReleaseRows(*table, [&](OutputBuffer& out) {
      if (const std::optional<WholeInputCells> cells = next()) {
        AppendWholeInputCells(out, layout, *cells);
      }
    });
  } else {
    while (next()) {
    }
  }
  // Every row had its sequence's counts, and every sequence its row.
  return released && !genes.failed() && sequence == totals.store->size();
}

}  // namespace trelba
