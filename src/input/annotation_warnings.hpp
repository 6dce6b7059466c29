// The warnings about an annotated input (GenBank, EMBL, GFF3, a genome with --gff): the
// coding sequences it left out and why, and translation tables that read codons otherwise
// than the run's genetic code.
#pragma once

#include <string>
#include <vector>

#include "codes/genetic_code.hpp"
#include "input/annotation_tally.hpp"
#include "input/text_format.hpp"

namespace trelba {

// The lines (without "Warning: ") for the input `name` of `format`, read with `code`;
// `gff_without_fasta`: a GFF3 input that carried no genome.
std::vector<std::string> AnnotationWarnings(const std::string& name, TextFormat format,
                                            const AnnotationTally& tally, const GeneticCode& code,
                                            bool gff_without_fasta);

// Whether NCBI table `table` puts every codon in the same family as `code` and has the
// same stop codons (tables 1 and 11 do; 1 and 4 do not).
bool ReadsAlike(const GeneticCode& code, int table);

}  // namespace trelba
