// The codon count report (".freq"): the 64 counts of each sequence as the usual 16-by-4
// codon table, RNA spelling, one block of 16 lines and 2 empty lines per sequence.
#pragma once

#include "reports/output_buffer.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

void WriteCountBlock(OutputBuffer& out, SequenceNumber number, const CodonCounts& counts);

}  // namespace trelba
