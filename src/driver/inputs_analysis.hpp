// The correspondence analysis of a run's inputs themselves (--coa with three or more
// inputs): each input's pooled counts are a row, of the kind of the inputs' own analyses,
// and each input's coordinates go behind its summary row once every input is read.
#pragma once

#include "analysis/correspondence_analysis.hpp"
#include "analysis/synonymous_codons.hpp"
#include "driver/run_outputs.hpp"
#include "reports/gene_count_store.hpp"

namespace trelba {

// `pooled` holds one row for each summary row, in order (zero for an input that failed).
// False after an error (the rows or the counts could not be read back), which has been
// printed.
bool AddInputsCoordinates(const CoaColumns& columns, const SynonymousCodons& synonymous,
                          GeneCountStore& pooled, const TableLayout& layout, RunOutputs& run);

}  // namespace trelba
