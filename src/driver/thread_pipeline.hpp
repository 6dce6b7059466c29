// The run on several threads: one thread reads (and decompresses) the input a few blocks
// ahead, the calling thread cuts it into sequences and batches them (sequence_splitter.hpp),
// worker threads count the codons of each batch's sequences, analyse and format them, and
// each finished batch is written out in input order. All the threads of the program live
// in this file.
#pragma once

#include "driver/analyse_input.hpp"

namespace trelba {

// The threads a run uses when not told: one on a one-core machine, where more would only
// cost; otherwise one per core, at most four.
unsigned DefaultThreadCount();

// AnalyseInput with `threads` workers (at most 8), besides a reading thread and the
// calling thread, which cuts the text: both of those mostly wait, for the disk or the
// workers. Throws std::system_error, having read and written nothing, when the threads
// cannot be had.
InputOutcome AnalyseInputThreaded(InputFile& input, const GeneticCode& code,
                                  const ReportOutputs& outputs, unsigned threads);

}  // namespace trelba
