// The genome of a reference file's genes, against whose other genes its optimal codons are
// found: the input that holds the most of its genes (identical in sequence; the first of
// equals). With several inputs it is found before any of them is reported, in a pass that
// only counts and stops at an input that holds every gene; with one, from what its own
// reading gathered. When no input holds a gene of the reference, the optimal codons are
// found against every input's genes, with a warning. The codon usage's `contrast` says
// which.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "driver/batch_writing.hpp"
#include "driver/input_reader.hpp"
#include "driver/reference_file.hpp"

namespace trelba {

// Whether the reference's table waits for its genome: a FASTA file with no optimal codons
// given.
inline bool TableWaitsForGenome(const ReferenceFile& reference) {
  return reference.genes_given && !reference.table;
}

// The inputs' pass that finds the genome and makes the table (several inputs); the error
// line of the command line when an input can be read only once.
std::optional<std::string> FindReferenceGenome(const Options& options,
                                               const SynonymousCodons& synonymous,
                                               ReferenceFile& reference, InputReader* reader);

// The table of a run of one input, from its reading: `totals` gathered the sequences that
// are the reference's genes; `label` names the input.
void TableFromInput(const SynonymousCodons& synonymous, std::string_view label,
                    const InputTotals& totals, ReferenceFile& reference);

}  // namespace trelba
