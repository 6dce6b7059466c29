// The score report (".ok"): one line per sequence with a positive score, in input order;
// then an empty line and "average = " with the mean of the listed scores ("nan" when none
// is listed).
#pragma once

#include "analysis/score.hpp"
#include "reports/output_buffer.hpp"

namespace trelba {

// Writes the score line when the score is listed (positive).
void WriteScoreLine(OutputBuffer& out, double score);

void WriteAverageLine(OutputBuffer& out, const AverageScore& average);

}  // namespace trelba
