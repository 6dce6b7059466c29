// The family order report (".iik") and the score report (".ok").
//
// ".iik": per sequence, 21 lines "family order-value" and an empty line.
// ".ok": one line per sequence with a positive score, in input order; then an empty line
// and "average = " with the mean of the listed scores ("nan" when none is listed).
#pragma once

#include "analysis/score.hpp"
#include "reports/order_texts.hpp"
#include "reports/output_buffer.hpp"
#include "trelba/tables.hpp"

namespace trelba {

void WriteOrderBlock(OutputBuffer& out, const OrderTexts& order);
void WriteOrderBlock(OutputBuffer& out, const FamilyValues& order);

// Writes the score line when the score is listed (positive).
void WriteScoreLine(OutputBuffer& out, double score);

void WriteAverageLine(OutputBuffer& out, const AverageScore& average);

}  // namespace trelba
