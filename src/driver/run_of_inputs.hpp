// A run of options already parsed and checked: the command line's, once it has read
// --infile-list and checked its standard streams; or a library caller's, whose inputs may
// be its own streams and whose standard output its own sink (Options::sources,
// Options::standard_output).
#pragma once

#include <chrono>
#include <optional>

#include "driver/options.hpp"

namespace trelba {

// No genetic code given: the translation table of the first input's first CDS (or of
// --gff's), when it is a GenBank, EMBL or GFF3 file that names one.
void TakeCodeOfFirstInput(Options& options);

// Warns about the command line, reads --gff, then reads every input and writes its
// reports and the run's outputs, telling progress every `progress_interval` when it is
// given. 0 after a complete run, kFailureStatus (run.hpp) after any error, which has been
// said.
int RunInputs(Options& options,
              std::optional<std::chrono::milliseconds> progress_interval = std::nullopt);

}  // namespace trelba
