// All the numbers computed for one sequence.
#pragma once

#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

struct SequenceAnalysis {
  CodonValues frequencies{};
  FamilyValues totals{};
  FamilyValues composition{};
  FamilyValues order{};
  double score = 0.0;
};

// Frequencies, composition, order values and score of one sequence's counts.
void AnalyseSequence(const GeneticCode& code, const CodonCounts& counts, SequenceAnalysis& result);

}  // namespace trelba
