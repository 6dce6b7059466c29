// The run on several threads: one thread reads (and decompresses) the input a few blocks
// ahead, the calling thread parses it into batches of sequences, worker threads analyse
// and format the batches, and each finished batch is written out in input order. All the
// threads of the program live in this file.
#pragma once

#include "driver/analyse_input.hpp"

namespace trelba {

// The threads a run uses when not told: one on a one-core machine, where a second thread
// would only cost; otherwise one reader and up to three workers.
unsigned DefaultThreadCount();

// AnalyseInput with a reading thread, the parsing calling thread and `threads` - 1
// workers (at least one).
InputOutcome AnalyseInputThreaded(InputFile& input, const GeneticCode& code,
                                  const ReportOutputs& outputs, unsigned threads);

}  // namespace trelba
