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
  std::vector<std::array<double, 2>> drawn;  // each input's, for the page and --figures
  // The next input's coordinates.
  const auto next = [&] {
    CoaAxes coordinates;
    coordinates.fill(std::numeric_limits<double>::quiet_NaN());
    if (read && second.Next(counts)) {
      coordinates = GeneCoordinates(columns, result, counts);
    } else {
      read = false;
    }
    if (run.draws()) drawn.push_back({coordinates[0], coordinates[1]});
    return coordinates;
  };
  bool released = true;
  if (run.summary() != nullptr) {
    released = run.ReleaseSummary([&](OutputBuffer& out) {
      WholeRunCells cells;
      cells.inputs_coa = next();
      AppendWholeRunCells(out, layout, cells);
    });
  } else {
    for (std::uint64_t row = 0; row < pooled.size(); ++row) next();
  }
  if (released && (!read || second.failed())) {
    FileError("reading", "the temporary file of the inputs' counts", FailureCause{EIO});
    return false;
  }
  if (released && result.made) {
    run.SetInputsCoa(drawn, {result.inertia_share[0], result.inertia_share[1]});
  }
  return released;
}

}  // namespace trelba
