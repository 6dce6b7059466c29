#include "analysis/sequence_analysis.hpp"

#include "analysis/frequencies.hpp"
#include "analysis/order.hpp"
#include "analysis/score.hpp"

namespace trelba {

void AnalyseSequence(const GeneticCode& code, const CodonCounts& counts, SequenceAnalysis& result) {
  WithinFamilyFrequencies(code, counts, result.frequencies, result.totals);
  FamilyComposition(code, result.totals, result.composition);
  OrderValues(code, counts, result.totals, result.frequencies, result.order);
  result.score = SequenceScore(result.composition, result.order);
}

}  // namespace trelba
