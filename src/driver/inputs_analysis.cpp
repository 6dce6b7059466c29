#include "driver/inputs_analysis.hpp"

#include <cerrno>
#include <limits>
#include <optional>

#include "driver/error_message.hpp"

namespace trelba {

bool AddInputsCoordinates(const CoaColumns& columns, const SynonymousCodons& synonymous,
                          GeneCountStore& pooled, const TableLayout& layout, RunOutputs& run) {
  CoaSums sums(columns);
  CodonCounts counts;
  GeneCountStore::Reader first(pooled);
  while (first.Next(counts)) sums.Add(counts, EffectiveNumberOfCodons(synonymous, counts));
  const CoaResult result = SolveCoa(sums);
  GeneCountStore::Reader second(pooled);
  bool read = !first.failed();
  const bool released = run.ReleaseSummary([&](OutputBuffer& out) {
    WholeRunCells cells;
    cells.inputs_coa.fill(std::numeric_limits<double>::quiet_NaN());
    if (read && second.Next(counts)) {
      cells.inputs_coa = GeneCoordinates(columns, result, counts);
    } else {
      read = false;
    }
    AppendWholeRunCells(out, layout, cells);
  });
  if (released && (!read || second.failed())) {
    FileError("reading", "the temporary file of the inputs' counts", FailureCause{EIO});
    return false;
  }
  return released;
}

}  // namespace trelba
