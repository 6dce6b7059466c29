// The observed over expected ratios of CpG and TpA (UpA) of a sequence's pairs of adjacent
// bases (input/dinucleotide_reader.hpp): over all its pairs and over those at each place
// in the reading frame (1-2, 2-3, 3-1). Of a set of n pairs, the ratio of x y is
// n(x y) n / (n(x .) n(. y)), n(x .) the pairs whose first base is x and n(. y) those whose
// second is y: the share of x y over the product of the shares of x first and of y second.
// NaN without a pair, or when x is never first or y never second.
#pragma once

#include <array>

#include "input/dinucleotide_reader.hpp"

namespace trelba {

// CpG and TpA over all pairs, then at 1-2, 2-3 and 3-1, in that order:
// cpg, tpa, cpg12, tpa12, cpg23, tpa23, cpg31, tpa31.
using DinucleotideRatios = std::array<double, 8>;

DinucleotideRatios DinucleotideRatiosOf(const DinucleotideCounts& counts);

}  // namespace trelba
