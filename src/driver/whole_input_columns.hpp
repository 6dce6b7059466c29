// The table's columns that need the whole input (the catalog's kWholeInputColumns): once an
// input is read, every sequence's counts are read back from the store in input order and
// give its cells (the indices against a reference set, its coordinates in the input's
// correspondence analysis), appended to its row as the staged rows go to the table.
#pragma once

#include "analysis/correspondence_analysis.hpp"
#include "driver/batch_writing.hpp"
#include "driver/reference_columns.hpp"
#include "reports/column_catalog.hpp"
#include "reports/html_report.hpp"
#include "reports/side_work.hpp"
#include "reports/staged_sink.hpp"

namespace trelba {

// Where each sequence's cells of the whole input come from; null where the run has none.
struct WholeInputSources {
  ReferenceTotals* reference = nullptr;  // its medians and `plot`'s points gathered too
  PlotData* plot = nullptr;              // takes the genes' values against it and on the axes
  const CoaColumns* coa_columns = nullptr;
  const CoaResult* coa = nullptr;
};

// Each sequence's cells, in input order, appended to its row as the staged rows go to
// `table` (when there is one; else only gathered). With `side`, the pipeline's threads may
// make the cells of the rows ahead. False when the kept counts or rows cannot be read back,
// or their numbers differ.
bool AddWholeInputColumns(const TableLayout& layout, InputTotals& totals, StagedSink* staged,
                          OutputBuffer* table, const WholeInputSources& sources,
                          SideWork* side = nullptr);

}  // namespace trelba
